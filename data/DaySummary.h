#pragma once
// A day in a few numbers: what the archive overview, its cache and `quillon --summary` keep of a
// day once its readings are gone. How many readings, how much of the day they cover, the lowest,
// highest and largest-magnitude readings with their times, the time at or above each alarm level
// (data/LevelTime.h, the rule --info and the status line use), how many times the alarm rose (the
// viewer's own rule, CAlarmWatch), and the same statistics hour by hour, as atmospheric-electricity
// data are exchanged.
//
// The day is the one every reading of a file lies on (day number DAY_START, 1 January 2004 on the
// chart's calendar): second s of it holds the readings whose clock time rounds to s. A reading
// stamped 24:00:00 closes the day and counts in its last second and last hour; a reading that
// lies outside the day altogether (a clock time such as 25:10:00) counts among the day's readings
// and extremes but in no second or hour. Values that are not finite numbers are readings too, but
// take no part in the extremes or the statistics.

#include "data/AlarmWatch.h"
#include "data/FieldSample.h"

#include <array>
#include <span>
#include <string>

constexpr double DAY_START = 1460.0; // the day number of every file's day
constexpr int HOURS_PER_DAY = 24;
constexpr int SECONDS_PER_HOUR = 3600;
constexpr int DAY_SECONDS = 86400;

// The alarm levels a summary is made with (0: not set) and the alarm's hold time.
struct CSummaryLevels {
    double dWarning = 0.0; // kV/m
    double dAlert = 0.0;   // kV/m
    int nHoldSeconds = 0;
    // The rest of the viewer's alarm rule, so that episodes are counted as the viewer raises them.
    double dAllClearSeconds = DEFAULT_ALL_CLEAR_SECONDS;
    double dGapSeconds = DEFAULT_ALARM_GAP_SECONDS;
    double dFlashStep = DEFAULT_FLASH_STEP;
    int nFlashRate = 0;
    bool operator==(const CSummaryLevels&) const = default;

    [[nodiscard]] CAlarmRule Rule() const {
        return {dWarning,         dAlert,      static_cast<double>(nHoldSeconds),
                dAllClearSeconds, dGapSeconds, dFlashStep,
                nFlashRate};
    }
};

// The levels of a summary from the viewer's alarm rule.
[[nodiscard]] inline CSummaryLevels LevelsOfRule(const CAlarmRule& rule) {
    return {rule.dWarning,         rule.dAlert,      static_cast<int>(rule.dHoldSeconds),
            rule.dAllClearSeconds, rule.dGapSeconds, rule.dFlashStep,
            rule.nFlashRate};
}

// One hour of a day, from its first second to its last.
struct CHourSummary {
    int nReadings = 0;       // readings in the hour
    int nCoveredSeconds = 0; // seconds of the hour with at least one reading
    int nValues = 0;         // the finite ones, which the statistics below are over
    double dMean = 0.0;
    double dStdDev = 0.0; // the sample standard deviation; 0 with fewer than two values
    double dMin = 0.0;
    double dMax = 0.0;
    bool operator==(const CHourSummary&) const = default;

    [[nodiscard]] double Coverage() const {
        return static_cast<double>(nCoveredSeconds) / SECONDS_PER_HOUR;
    }
};

struct CDaySummary {
    int nReadings = 0;
    int nSkipped = 0;        // lines the reader could not place in time
    int nCoveredSeconds = 0; // seconds of the day with at least one reading
    bool bAnyValue = false;  // at least one finite reading: the extremes below are set
    double dMin = 0.0;
    double dMinTime = 0.0; // day numbers: the first reading with that value
    double dMax = 0.0;
    double dMaxTime = 0.0;
    double dPeak = 0.0; // the reading of largest magnitude, with its sign
    double dPeakTime = 0.0;
    double dWarningSeconds = 0.0; // at or above the warning level; 0 when it is not set
    double dAlertSeconds = 0.0;   // at or above the alert level; 0 when it is not set
    int nAlarmEpisodes = 0;       // times the alarm rose
    std::array<CHourSummary, HOURS_PER_DAY> hours{};
    bool operator==(const CDaySummary&) const = default;

    [[nodiscard]] double Coverage() const {
        return static_cast<double>(nCoveredSeconds) / DAY_SECONDS;
    }
};

// Summarises a day's records, in the order they were read.
[[nodiscard]] CDaySummary SummariseDay(std::span<const FieldSample> records, int nSkipped,
                                       const CSummaryLevels& levels);

// The second of the day a time falls in (24:00:00 in the last), or -1 outside the day.
[[nodiscard]] int SecondOfDay(double dTime);

// The clock time of a day number: "HH:MM:SS", "24:00:00" at the day's end; outside the day the
// hours run on past 24 or below 0 ("25:10:00", "-01:00:00").
[[nodiscard]] std::string ClockText(double dTime);
// A length of time to the nearest second as the window and the overview show it: "45 s",
// "12 min 05 s", "2 h 05 min".
[[nodiscard]] std::string DurationText(double dSeconds);
