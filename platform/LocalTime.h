#pragma once
// The C library's local time zone, through the names each system gives its reentrant calls.

#include <ctime>

// Re-reads the zone (TZ, or the system's setting) before a run of conversions.
inline void ReadLocalTimeZone() {
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

// Breaks t down in local time into *ptm; false when the library cannot.
[[nodiscard]] inline bool BreakDownLocalTime(std::time_t t, std::tm* ptm) {
#ifdef _WIN32
    return localtime_s(ptm, &t) == 0;
#else
    return localtime_r(&t, ptm) != nullptr;
#endif
}
