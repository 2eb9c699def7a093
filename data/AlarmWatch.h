#pragma once
// CAlarmWatch: decides, reading by reading, whether the field is in alarm while a day is
// followed. The alarm begins once |E| has stayed at or above the alert level for the hold time
// (by the readings' own clock), and clears once |E| has stayed below the warning level (or the
// alert level, when no warning level is set) for the hold time. Readings that are not numbers
// change nothing.

#include "data/FieldSample.h"

#include <span>

class CAlarmWatch {
public:
    // Levels in kV/m (0: not set; without an alert level there is never an alarm); the hold time
    // in seconds. Starts out of alarm.
    void Configure(double dWarning, double dAlert, double dHoldSeconds);
    // Takes the next readings in time order; true when the alarm state changed.
    bool Feed(std::span<const FieldSample> readings);

    [[nodiscard]] bool InAlarm() const { return m_bInAlarm; }
    // The time (a day number) of the first reading of the stretch that raised the alarm.
    [[nodiscard]] double Began() const { return m_dBegan; }

private:
    double m_dWarning = 0.0;
    double m_dAlert = 0.0;
    double m_dHoldDays = 0.0;
    bool m_bInAlarm = false;
    bool m_bRun = false; // a stretch toward the other state is under way
    double m_dRunFrom = 0.0;
    double m_dBegan = 0.0;
};
