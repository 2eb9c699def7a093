#pragma once
// strtod as the "C" locale reads numbers, whatever locale the process runs in, through the call
// each system offers for it.

#include <clocale>
#include <cstdlib>
#include <locale.h>

[[nodiscard]] inline double ParseDoubleInCLocale(const char* psz) {
#if defined(__MINGW32__)
    // msvcrt's strtod predates C99 (no hexadecimal, inf or nan); MinGW's own reads as C99 does.
    return __mingw_strtod(psz, nullptr);
#elif defined(_WIN32)
    static const _locale_t s_locale = _create_locale(LC_ALL, "C");
    return _strtod_l(psz, nullptr, s_locale);
#else
    static const locale_t s_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(psz, nullptr, s_locale);
#endif
}
