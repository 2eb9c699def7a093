#pragma once
// Readings written back as text, for File > Export: the readings of a span of the day either in
// the logger's own line format ("HH:MM:SS,value", which the reader reads again as the same
// readings) or as a table for spreadsheets ("time,value" under a header, the date before the
// clock time when the file's name gives one). Values are written in the shortest form that reads
// back as the same number. Qt-free, so the round trip is tested beside the reader.

#include "data/FieldSample.h"
#include "data/FileDate.h"
#include "platform/Outcome.h"

#include <optional>
#include <span>
#include <string>

enum class EFieldText {
    LoggerLines, // "14:00:00,-0.45": what the logger writes and the reader reads
    Table,       // "time,value" then "2004-01-01 14:00:00,-0.45"
    // The table of the potential gradient PG = -E in V/m: "time,PG (V/m)" then
    // "2004-01-01 14:00:00,450", to nine significant digits.
    GradientTable,
};

// The day number of 00:00:00 on the day a logger's readings lie on: the reader places every
// clock time on one day (data/ChartTime.h).
[[nodiscard]] double FieldDayStart();

struct CFieldTextSpan {
    double dDayStart = 0.0; // the day number of 00:00:00 on the day the readings lie on
    double dFrom = 0.0;     // the readings from here
    double dTo = 0.0;       // to here, both included
};

// The text of the readings of records within span, in their order. A reading the logger's format
// cannot hold (before the day's start or 100 hours after it, which only a malformed line gives)
// makes the logger's format fail, saying which; the table holds any.
[[nodiscard]] COutcome FormatReadings(std::span<const FieldSample> records,
                                      const CFieldTextSpan& span, EFieldText eFormat,
                                      const std::optional<CFileDate>& date, std::string* pstrText);

// FormatReadings written to strPath whole or not at all; the number written in *pnWritten.
COutcome WriteReadings(const std::string& strPath, std::span<const FieldSample> records,
                       const CFieldTextSpan& span, EFieldText eFormat,
                       const std::optional<CFileDate>& date, std::size_t* pnWritten = nullptr);
