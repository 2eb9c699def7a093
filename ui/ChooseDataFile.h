#pragma once
// The Open dialog for a data file, used at start-up and by File > Open with the same settings:
// title "Open VKS Data File...", one filter for *.vks, default extension "vks", no owner, and the
// logging program's data folder (from its registry key) as the starting folder, else the current
// folder. File > Open with a day in view starts in that day's folder instead: the user most often
// wants a neighbour of the day they are looking at.

#include <optional>
#include <string>

inline constexpr const char* OPEN_DIALOG_TITLE = "Open VKS Data File...";
// The filter in the common dialog's list form: label NUL pattern NUL, and one more NUL to end it.
inline constexpr char OPEN_DIALOG_FILTER[] = "VKS-10/20 Data (*.vks)\0*.vks\0";
inline constexpr const char* LOGGING_KEY_BASE = "Software\\Korvan Corp\\VKS\\Data Logging";
inline constexpr const char* LOGGING_KEY_FORMAT = "%s\\DataSource1";
inline constexpr const char* LOGGING_PATH_VALUE = "Data Logging Path";

// The folder the logging program writes its days to, as its settings name it; empty when they
// name none.
[[nodiscard]] std::string LoggingDataFolder();

// The full path the user chose, or nothing when the dialog was cancelled. strDayInView, when not
// empty, is the day on screen, whose folder the dialog starts in.
[[nodiscard]] std::optional<std::string> ChooseDataFile(const std::string& strDayInView = {});
