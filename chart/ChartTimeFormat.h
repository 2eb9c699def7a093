#pragma once
// Time labels: a day number of the chart's calendar (365-day years from 2000, 31-day months, the
// fraction the time of day) broken into its fields and written with a strftime-style format.
// The calendar is the chart's own, so nothing here goes through the C library's calendar.

#include <cstdint>
#include <string>

struct CChartDate {
    std::int64_t nYear = 2000; // 2000 for day numbers 0 to 364
    int nMonth = 1;            // 1 to 12; December has 24 days on this calendar
    int nDay = 1;              // 1 to 31
    int nDayOfYear = 1;        // 1 to 365
    int nHour = 0;             // 0 to 23, or 24 for the end of a day
    int nMinute = 0;
    int nSecond = 0;
};

constexpr int DAYS_PER_CHART_YEAR = 365;
constexpr int DAYS_PER_CHART_MONTH = 31;
constexpr int SECONDS_PER_DAY = 86400;

// Breaks a day number into fields, rounded to the nearest second. With bEndOfDay a whole day
// number D reads as 24:00:00 on day D - 1, the way the last label of a day reads. False for a
// day number that is not finite or too large to hold a time of day.
[[nodiscard]] bool ChartDateOf(double dDay, bool bEndOfDay, CChartDate* pDate);

// Writes a day number with a strftime-style format: %H %M %S %d %m %y %Y %b %B %j %e %%. Other
// conversions are copied as they stand. Empty for a day number ChartDateOf refuses.
[[nodiscard]] std::string FormatChartTime(double dDay, const std::string& strFormat,
                                          bool bEndOfDay = false);
