#include "chart/ChartTimeFormat.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr const char* MONTH_ABBREVIATIONS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* MONTH_NAMES[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
// Beyond this the fraction of a double no longer holds whole seconds.
constexpr double MAX_FORMATTED_DAY = 1e9;

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {
    const std::int64_t q = n / d;
    return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

void AppendNumber(std::string* pstr, std::int64_t n, int nWidth, char chPad = '0') {
    char sz[32];
    const int nLength =
        std::snprintf(sz, sizeof sz, "%lld", static_cast<long long>(n < 0 ? -n : n));
    if (n < 0) {
        pstr->push_back('-');
    }
    for (int i = nLength; i < nWidth; ++i) {
        pstr->push_back(chPad);
    }
    pstr->append(sz, static_cast<std::size_t>(nLength));
}
} // namespace

bool ChartDateOf(double dDay, bool bEndOfDay, CChartDate* pDate) {
    if (!std::isfinite(dDay) || std::fabs(dDay) > MAX_FORMATTED_DAY) {
        return false;
    }
    const double dWhole = std::floor(dDay);
    std::int64_t nDay = static_cast<std::int64_t>(dWhole);
    std::int64_t nSeconds = std::llround((dDay - dWhole) * SECONDS_PER_DAY);
    if (nSeconds >= SECONDS_PER_DAY) {
        ++nDay;
        nSeconds -= SECONDS_PER_DAY;
    }
    const bool bMidnightEnd = bEndOfDay && nSeconds == 0;
    if (bMidnightEnd) {
        --nDay;
        nSeconds = SECONDS_PER_DAY;
    }
    const std::int64_t nYears = FloorDiv(nDay, DAYS_PER_CHART_YEAR);
    const auto nInYear = static_cast<int>(nDay - nYears * DAYS_PER_CHART_YEAR);
    CChartDate date;
    date.nYear = 2000 + nYears;
    date.nMonth = nInYear / DAYS_PER_CHART_MONTH + 1;
    date.nDay = nInYear % DAYS_PER_CHART_MONTH + 1;
    date.nDayOfYear = nInYear + 1;
    date.nHour = static_cast<int>(nSeconds / 3600);
    date.nMinute = static_cast<int>(nSeconds / 60 % 60);
    date.nSecond = static_cast<int>(nSeconds % 60);
    *pDate = date;
    return true;
}

std::string FormatChartTime(double dDay, const std::string& strFormat, bool bEndOfDay) {
    CChartDate date;
    if (!ChartDateOf(dDay, bEndOfDay, &date)) {
        return {};
    }
    std::string str;
    str.reserve(strFormat.size() + 8);
    for (std::size_t i = 0; i < strFormat.size(); ++i) {
        const char ch = strFormat[i];
        if (ch != '%' || i + 1 == strFormat.size()) {
            str.push_back(ch);
            continue;
        }
        const char chConversion = strFormat[++i];
        switch (chConversion) {
        case 'H':
            AppendNumber(&str, date.nHour, 2);
            break;
        case 'M':
            AppendNumber(&str, date.nMinute, 2);
            break;
        case 'S':
            AppendNumber(&str, date.nSecond, 2);
            break;
        case 'd':
            AppendNumber(&str, date.nDay, 2);
            break;
        case 'e':
            AppendNumber(&str, date.nDay, 2, ' ');
            break;
        case 'm':
            AppendNumber(&str, date.nMonth, 2);
            break;
        case 'j':
            AppendNumber(&str, date.nDayOfYear, 3);
            break;
        case 'y':
            AppendNumber(&str, (date.nYear % 100 + 100) % 100, 2);
            break;
        case 'Y':
            AppendNumber(&str, date.nYear, 1);
            break;
        case 'b':
        case 'h':
            str += MONTH_ABBREVIATIONS[date.nMonth - 1];
            break;
        case 'B':
            str += MONTH_NAMES[date.nMonth - 1];
            break;
        case '%':
            str.push_back('%');
            break;
        default:
            str.push_back('%');
            str.push_back(chConversion);
            break;
        }
    }
    return str;
}
