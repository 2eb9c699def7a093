#pragma once
// The program's command line: one optional data file, or one of the developer and script modes.
// Parsing is pure logic so it can be tested without starting anything.

#include <string>
#include <vector>

enum class ECommandMode {
    View,    // open the viewer (on the file, or ask for one)
    Help,    // --help
    Version, // --version
    Info,    // --info FILE.vks: the file's summary as JSON
    Export,  // --export OUT FILE.vks: the chart as an image or a printed page; with a folder as
             // OUT, each of several files into it
    Summary, // --summary PATH...: a row per day (or per hour) as CSV or JSON lines
    Archive, // --archive [FOLDER]: the overview of a folder's days
    Error,   // a usage error: strError says what, exit status 2
};

struct CCommandLine {
    ECommandMode eMode = ECommandMode::View;
    std::string strFile;    // the data file, empty when none was given
    std::string strOutput;  // --export
    std::string strSize;    // --size WxH as given, empty for the default
    std::string strPage;    // --page NAME as given, empty for the locale's default
    int nFromSeconds = -1;  // --from: seconds into the day, -1 for the day's start
    int nToSeconds = -1;    // --to: seconds into the day, -1 for the day's end
    bool bNoAlarms = false; // --no-alarms
    std::string strError;

    // Across days. Every path given, in order (strFile is the first; --archive's folder).
    std::vector<std::string> files;
    std::string strFormat;           // --format of a batch export: png, svg or pdf; empty for png
    bool bJson = false;              // --json: JSON lines instead of CSV
    bool bHourly = false;            // --hourly: a row per hour
    bool bPotentialGradient = false; // --pg: readings as PG = -E in V/m
    double dWarning = -1.0;          // --warning in kV/m; -1: the settings' level
    double dAlert = -1.0;            // --alert in kV/m; -1: the settings' level
};

[[nodiscard]] CCommandLine ParseCommandLine(const std::vector<std::string>& args);

// Reads "HH:MM" or "HH:MM:SS" (00:00 to 24:00) as seconds into the day. False for anything
// else.
[[nodiscard]] bool ParseClockTime(const std::string& strText, int* pnSeconds);

// The text --help prints.
[[nodiscard]] std::string UsageText(const std::string& strProgram);
