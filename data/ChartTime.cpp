#include "data/ChartTime.h"

#include "platform/LocalTime.h"

#include <cerrno>

namespace {
constexpr int BASE_YEAR = 2004;
constexpr long long SECONDS_PER_DAY = 86400;

std::tm MakeBaseTm(int nHour, int nMinute, int nSecond) {
    std::tm tm{};
    tm.tm_year = BASE_YEAR - 1900;
    tm.tm_mon = 0;
    tm.tm_mday = 1;
    tm.tm_hour = nHour;
    tm.tm_min = nMinute;
    tm.tm_sec = nSecond;
    tm.tm_isdst = -1;
    return tm;
}
} // namespace

double ChartTimeFromFields(long long nYear, long long nMonth, long long nDay, long long nHour,
                           long long nMinute, long long nSecond) {
    // The constants are the decimals the scale is defined with, not 1/1440 and 1/86400; the sum
    // is formed left to right, each step rounded to a double.
    const double dYears = static_cast<double>((nYear - 2000) * 365);
    const double dMonths = static_cast<double>((nMonth - 1) * 31);
    const double dDays = static_cast<double>(nDay - 1);
    const double dHours = static_cast<double>(nHour) * 0.041666666666666664;
    const double dMinutes = static_cast<double>(nMinute) * 0.00069444444444444;
    const double dSeconds = static_cast<double>(nSecond) * 0.00001157407407407;
    double dSum = dYears + dMonths;
    dSum = dSum + dDays;
    dSum = dSum + dHours;
    dSum = dSum + dMinutes;
    dSum = dSum + dSeconds;
    return dSum;
}

double ChartTimeFromTime(std::time_t t) {
    std::tm tm{};
    if (!BreakDownLocalTime(t, &tm)) {
        return 0.0;
    }
    return ChartTimeFromFields(static_cast<long long>(tm.tm_year) + 1900, tm.tm_mon + 1, tm.tm_mday,
                               tm.tm_hour, tm.tm_min, tm.tm_sec);
}

void CDayClock::Prepare() {
    ReadLocalTimeZone();
    m_bFast = false;
    // Every whole hour of the day, and midnight after it, must sit exactly k hours after
    // midnight and break down to the same wall clock: then no offset change falls inside.
    std::tm tmBase = MakeBaseTm(0, 0, 0);
    const std::time_t tBase = std::mktime(&tmBase);
    if (tBase == static_cast<std::time_t>(-1)) {
        return;
    }
    for (int nHour = 0; nHour <= 24; ++nHour) {
        std::tm tm = MakeBaseTm(nHour, 0, 0);
        const std::time_t t = std::mktime(&tm);
        if (t == static_cast<std::time_t>(-1) || t - tBase != nHour * 3600LL) {
            return;
        }
        std::tm tmBack{};
        if (!BreakDownLocalTime(t, &tmBack)) {
            return;
        }
        const int nExpectDay = 1 + nHour / 24;
        if (tmBack.tm_year != BASE_YEAR - 1900 || tmBack.tm_mon != 0 ||
            tmBack.tm_mday != nExpectDay || tmBack.tm_hour != nHour % 24 || tmBack.tm_min != 0 ||
            tmBack.tm_sec != 0) {
            return;
        }
    }
    m_bFast = true;
}

bool CDayClock::ChartTimeSlow(int nHour, int nMinute, int nSecond, double* pdTime) {
    std::tm tm = MakeBaseTm(nHour, nMinute, nSecond);
    errno = 0;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && errno == EOVERFLOW) {
        return false;
    }
    std::tm tmLocal{};
    if (!BreakDownLocalTime(t, &tmLocal)) {
        return false;
    }
    *pdTime =
        ChartTimeFromFields(static_cast<long long>(tmLocal.tm_year) + 1900, tmLocal.tm_mon + 1,
                            tmLocal.tm_mday, tmLocal.tm_hour, tmLocal.tm_min, tmLocal.tm_sec);
    return true;
}

bool CDayClock::ChartTimeOf(int nHour, int nMinute, int nSecond, double* pdTime) const {
    const long long nWall = nHour * 3600LL + nMinute * 60LL + nSecond;
    if (m_bFast && nWall >= 0 && nWall <= SECONDS_PER_DAY) {
        const long long nDay = nWall / SECONDS_PER_DAY;
        const long long nRest = nWall % SECONDS_PER_DAY;
        *pdTime = ChartTimeFromFields(BASE_YEAR, 1, 1 + nDay, nRest / 3600, (nRest / 60) % 60,
                                      nRest % 60);
        return true;
    }
    return ChartTimeSlow(nHour, nMinute, nSecond, pdTime);
}
