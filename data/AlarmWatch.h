#pragma once
// CAlarmWatch: the one alarm rule, reading by reading, by the readings' own clock, so that a day
// replayed (--info, the archive's summaries) gives the same alarms as the day lived.
//
// Lightning-warning practice is a countdown. The alert rises once |E| has stayed at or above the
// alert level for the hold time (0: at the first such reading), or, when a flash rate is set, once
// that many flashes fell within ten minutes. It clears only when the all-clear time has passed
// with |E| below the warning level (the alert level when no warning is set): every reading at or
// above it, and every flash while the rate counts, restarts the countdown. Readings only count
// where they are: a gap between two readings longer than the gap time is no news, so the
// countdown starts again after it. Without readings nothing clears. The warning rises at the
// first reading at or above the warning level and clears with the same countdown. Readings that
// are not numbers change nothing.

#include "data/FieldSample.h"
#include "data/Flashes.h"

#include <deque>
#include <optional>
#include <span>

constexpr double DEFAULT_ALL_CLEAR_SECONDS = 15 * 60.0;
constexpr double DEFAULT_ALARM_GAP_SECONDS = 60.0;
// The window a flash rate counts in.
constexpr double FLASH_RATE_WINDOW_SECONDS = 10 * 60.0;

struct CAlarmRule {
    double dWarning = 0.0; // kV/m; 0: not set
    double dAlert = 0.0;   // kV/m; 0: not set (no alert then, unless the flash rate raises it)
    double dHoldSeconds = 0.0;
    double dAllClearSeconds = DEFAULT_ALL_CLEAR_SECONDS;
    double dGapSeconds = DEFAULT_ALARM_GAP_SECONDS;
    double dFlashStep = DEFAULT_FLASH_STEP;
    int nFlashRate = 0; // flashes in ten minutes that raise the alert; 0: not used
};

// One alert, from the first reading of the stretch that raised it to the reading that cleared it
// (day numbers).
struct CAlarmEpisode {
    double dBegan = 0.0;
    double dEnded = 0.0;
};

enum class EAlarmLevel { None, Warning, Alert };

class CAlarmWatch {
public:
    // Levels in kV/m (0: not set), the hold time in seconds, the all-clear time in seconds.
    // Starts with no alarm and no episodes.
    void Configure(double dWarning, double dAlert, double dHoldSeconds,
                   double dAllClearSeconds = DEFAULT_ALL_CLEAR_SECONDS);
    void Configure(const CAlarmRule& rule);
    // Takes the next readings in time order; true when the alert rose or cleared.
    bool Feed(std::span<const FieldSample> readings);
    // Moves every time kept by dDays: the next day's file counts its readings from the same day
    // number, so an alert that crosses midnight goes on with ShiftDays(-1).
    void ShiftDays(double dDays);

    [[nodiscard]] bool InAlarm() const { return m_eLevel == EAlarmLevel::Alert; }
    [[nodiscard]] EAlarmLevel Level() const { return m_eLevel; }
    // When the warning or the alert in force began (the first reading of its stretch).
    [[nodiscard]] double Began() const { return m_dBegan; }
    // When the warning or the alert in force clears if no reading restarts the countdown.
    [[nodiscard]] double ClearsAt() const { return m_dCountFrom + m_dAllClearDays; }
    // Seconds of the countdown left at the last reading.
    [[nodiscard]] double SecondsToClear() const;
    // The time of the last reading taken; none before the first.
    [[nodiscard]] std::optional<double> LastReading() const;
    // Alerts raised since Configure, and the last one that cleared.
    [[nodiscard]] int Episodes() const { return m_nEpisodes; }
    [[nodiscard]] std::optional<CAlarmEpisode> LastEpisode() const { return m_lastEpisode; }
    [[nodiscard]] const CAlarmRule& Rule() const { return m_rule; }

private:
    void Take(const FieldSample& reading);
    void Raise(double dBegan, double dAt);

    CAlarmRule m_rule;
    double m_dWarningLevel = 0.0; // the level that restarts the countdown
    double m_dHoldDays = 0.0;
    double m_dAllClearDays = 0.0;
    double m_dGapDays = 0.0;
    EAlarmLevel m_eLevel = EAlarmLevel::None;
    double m_dBegan = 0.0;
    double m_dCountFrom = 0.0; // the countdown runs from here
    bool m_bRun = false;       // a stretch at or above the alert level is under way
    double m_dRunFrom = 0.0;
    bool m_bAny = false;
    double m_dLast = 0.0;
    int m_nEpisodes = 0;
    std::optional<CAlarmEpisode> m_lastEpisode;
    CFlashDetector m_flashes;
    std::deque<double> m_flashTimes; // within the rate's window
};
