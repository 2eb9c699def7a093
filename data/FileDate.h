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

// Where a file's name holds its date: the text before and after it, and how it is written.
struct CFileDateMatch {
    CFileDate date;
    std::size_t nOffset = 0; // in the name
    std::size_t nLength = 0; // 8 (YYYYMMDD) or 10 (YYYY-MM-DD)
};

// The first valid calendar date in the name part of strPath (years 1900 to 2999).
[[nodiscard]] std::optional<CFileDate> FileDateOf(const std::string& strPath);
// The same date, with where it stands in the name (strName is a name without folders).
[[nodiscard]] std::optional<CFileDateMatch> FindFileDate(const std::string& strName);
// Whether a is a later day than b.
[[nodiscard]] bool LaterDay(const CFileDate& a, const CFileDate& b);
