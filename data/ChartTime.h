#pragma once
// The chart's time scale: a day number whose integer part counts days on a calendar of 365-day
// years from 2000 and 31-day months, and whose fraction is the time of day.
//
// ChartTimeFromTime is the plain definition (local-time breakdown, then six terms). CDayClock is
// what the loader uses per line: it gives exactly the day numbers that mktime followed by
// ChartTimeFromTime would give for a clock time on 1 January 2004, at a small fraction of the cost.

#include <ctime>

// Day number of a broken-down local time (month 1-12, day of month 1-31).
[[nodiscard]] double ChartTimeFromFields(long long nYear, long long nMonth, long long nDay,
                                         long long nHour, long long nMinute, long long nSecond);

// Day number of a calendar time, broken down in local time as localtime does. A time that
// localtime cannot break down gives 0.
[[nodiscard]] double ChartTimeFromTime(std::time_t t);

// Converts clock fields on 1 January 2004 local time (normalised as mktime normalises them, with
// the daylight-saving flag -1) to day numbers.
class CDayClock {
public:
    // Probes the local time zone around 1 January 2004; call once per load, after the zone is set.
    void Prepare();

    // False when the calendar time cannot be represented (mktime or localtime fails).
    [[nodiscard]] bool ChartTimeOf(int nHour, int nMinute, int nSecond, double* pdTime) const;

    [[nodiscard]] bool IsFast() const { return m_bFast; }

private:
    static bool ChartTimeSlow(int nHour, int nMinute, int nSecond, double* pdTime);

    // True when 1 January 2004, 00:00 to 2 January 00:00 local time, has one fixed UTC offset: the
    // local clock then is plain arithmetic on the fields.
    bool m_bFast = false;
};
