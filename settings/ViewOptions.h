#pragma once
// CViewOptions: what the user chooses for exploring a day, kept in the program's settings key
// beside the window placement (whose four values stay as they are): the alarm levels and how long
// the field must stay high before the alarm shows, a fixed value scale, the status bar, and
// whether the viewer follows the newest file of its folder.
//
// Levels and the scale are text values ("1.5", in kV/m; empty or absent is not set), so the hive
// stays readable; the switches and the hold time are 4-byte values as the placement's are. A
// value that does not read as a sound number gives its default.

#include "platform/Outcome.h"

inline constexpr const char* WARNING_LEVEL_VALUE = "Warning Level";
inline constexpr const char* ALERT_LEVEL_VALUE = "Alert Level";
inline constexpr const char* ALARM_HOLD_VALUE = "Alarm Hold Seconds";
inline constexpr const char* FIXED_SCALE_VALUE = "Fixed Value Scale";
inline constexpr const char* STATUS_BAR_VALUE = "Status Bar";
inline constexpr const char* FOLLOW_NEWEST_VALUE = "Follow Newest File";
inline constexpr const char* PRINT_LANDSCAPE_VALUE = "Print Landscape";

constexpr int DEFAULT_ALARM_HOLD_SECONDS = 10;
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
    bool m_bPrintLandscape = false; // the printed page (and its preview and PDF) lies across
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

// Reads a level as the user or the hive gives it: a plain decimal number from 0 to
// MAX_FIELD_LEVEL ("1.5"; an empty text is 0). False for anything else.
[[nodiscard]] bool ParseLevel(const std::string& strText, double* pdLevel);
// A level as it is written: the shortest text that reads back as the same number.
[[nodiscard]] std::string FormatLevel(double dLevel);
