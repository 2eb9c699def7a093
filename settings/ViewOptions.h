#pragma once
// CViewOptions: what the user chooses for exploring a day, kept in the program's settings key
// beside the window placement (whose four values stay as they are): the alarm levels and how long
// the field must stay high before the alarm shows, a fixed value scale, the status bar, and
// whether the viewer follows the newest file of its folder, whether readings show as the potential
// gradient; the operator's desk: the all-clear
// countdown, when a silent logger is said, the flash step and rate, the alarm sound, and the span
// that following shows.
//
// Levels and the scale are text values ("1.5", in kV/m; empty or absent is not set), so the hive
// stays readable; the switches and the hold time are 4-byte values as the placement's are. A
// value that does not read as a sound number gives its default.

#include "data/AlarmWatch.h"
#include "platform/Outcome.h"

inline constexpr const char* WARNING_LEVEL_VALUE = "Warning Level";
inline constexpr const char* ALERT_LEVEL_VALUE = "Alert Level";
inline constexpr const char* ALARM_HOLD_VALUE = "Alarm Hold Seconds";
inline constexpr const char* FIXED_SCALE_VALUE = "Fixed Value Scale";
inline constexpr const char* STATUS_BAR_VALUE = "Status Bar";
inline constexpr const char* FOLLOW_NEWEST_VALUE = "Follow Newest File";
inline constexpr const char* ALL_CLEAR_VALUE = "All Clear Minutes";
inline constexpr const char* STALL_VALUE = "No Readings Seconds";
inline constexpr const char* FLASH_STEP_VALUE = "Flash Step";
inline constexpr const char* FLASH_RATE_VALUE = "Flash Rate Alert";
inline constexpr const char* ALARM_SOUND_VALUE = "Alarm Sound";
inline constexpr const char* FOLLOW_SPAN_VALUE = "Follow Span Minutes";
inline constexpr const char* PRINT_LANDSCAPE_VALUE = "Print Landscape";
inline constexpr const char* POTENTIAL_GRADIENT_VALUE = "Potential Gradient";

constexpr int DEFAULT_ALARM_HOLD_SECONDS = 0;
constexpr int MAX_ALARM_HOLD_SECONDS = 3600;
constexpr int DEFAULT_ALL_CLEAR_MINUTES = 15;
constexpr int MAX_ALL_CLEAR_MINUTES = 120;
constexpr int DEFAULT_STALL_SECONDS = 60;
constexpr int MIN_STALL_SECONDS = 5;
constexpr int MAX_STALL_SECONDS = 3600;
constexpr double DEFAULT_FLASH_STEP_LEVEL = 1.0;
constexpr int MAX_FLASH_RATE = 1000; // flashes in ten minutes
// The spans following may show, in minutes; 0 is the whole day.
constexpr int FOLLOW_SPANS[] = {15, 30, 60, 180, 0};
// Levels and scales above this many kV/m are taken for typing errors.
constexpr double MAX_FIELD_LEVEL = 1000.0;

// The options' values, as the user sees them.
struct CViewOptionValues {
    double m_dWarningLevel = 0.0; // kV/m; 0: not set
    double m_dAlertLevel = 0.0;   // kV/m; 0: not set
    int m_nAlarmHoldSeconds = DEFAULT_ALARM_HOLD_SECONDS;
    double m_dFixedScale = 0.0; // M of a fixed -M..M value scale; 0: not set
    bool m_bStatusBar = true;
    bool m_bFollowNewest = false;
    int m_nAllClearMinutes = DEFAULT_ALL_CLEAR_MINUTES;
    int m_nStallSeconds = DEFAULT_STALL_SECONDS;
    double m_dFlashStep = DEFAULT_FLASH_STEP_LEVEL; // kV/m
    int m_nFlashRate = 0;                           // flashes in ten minutes; 0: not used
    bool m_bAlarmSound = true;
    int m_nFollowSpanMinutes = 0;      // one of FOLLOW_SPANS
    bool m_bPrintLandscape = false;    // the printed page (and its preview and PDF) lies across
    bool m_bPotentialGradient = false; // readings shown as PG = -E in V/m
};

// Several viewers may run at once, each with its own copy: a save writes only the values this
// copy changed since it was loaded or last saved, so another viewer's changes in between stay.
class CViewOptions : public CViewOptionValues {
public:
    // Reads the options; missing or unsound values give their defaults.
    void Load();
    // Writes the changed values as one save (nothing when none changed); on failure nothing was
    // stored, the values count as changed still, and the message says why.
    COutcome Save();

private:
    CViewOptionValues m_stored; // as last loaded or saved
};

// The alarm rule the options set, for the window and the command line alike.
[[nodiscard]] CAlarmRule AlarmRuleOf(const CViewOptionValues& options);

// Reads a level as the user or the hive gives it: a plain decimal number from 0 to
// MAX_FIELD_LEVEL ("1.5"; an empty text is 0). False for anything else.
[[nodiscard]] bool ParseLevel(const std::string& strText, double* pdLevel);
// A level as it is written: the shortest text that reads back as the same number.
[[nodiscard]] std::string FormatLevel(double dLevel);
