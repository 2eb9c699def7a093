#pragma once
// The date of a day's file. The file holds clock times only; loggers name their files after the
// day, so a date in the name (YYYYMMDD or YYYY-MM-DD, anywhere in the file's own name) is the
// day's date. A name without one gives none: the viewer then shows no date at all.

#include <optional>
#include <string>

struct CFileDate {
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
    [[nodiscard]] std::string Text() const; // "2004-01-01"
};

// The first valid calendar date in the name part of strPath (years 1900 to 2999).
[[nodiscard]] std::optional<CFileDate> FileDateOf(const std::string& strPath);
