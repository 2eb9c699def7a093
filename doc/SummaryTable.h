#pragma once
// The summaries as a table for other programs: one row per day (or per hour of each day) as CSV
// with a header, or as JSON lines with the same names. `quillon --summary` prints it and the
// archive overview exports it, so both give the same columns.
//
// Column names end in their unit: _kV_m (kV/m), _s (seconds), _pct (per cent); with the potential
// gradient (PG = -E) the readings' columns are _pg_V_m (V/m) instead, and the alarm levels stay
// levels of |E| in kV/m. Dates are ISO
// (YYYY-MM-DD) and times local clock times (HH:MM:SS). A value that does not exist (no date in the
// file's name, no reading, a level that is not set) is an empty CSV field and a JSON null. CSV
// follows RFC 4180: a field with a comma, a quote or a line end is quoted. JSON text is UTF-8,
// with bytes of a name that are not UTF-8 as U+FFFD.

#include "data/DaySummary.h"
#include "data/FieldUnit.h"

#include <string>

struct CDayScan;

enum class ESummaryFormat { Csv, JsonLines };

// The day rows' names, in order.
[[nodiscard]] std::string DayCsvHeader(const CFieldUnit& unit = {});
[[nodiscard]] std::string HourCsvHeader(const CFieldUnit& unit = {});

// A day's row (CSV without its line end, or one JSON object), made with levels.
[[nodiscard]] std::string DayRow(ESummaryFormat eFormat, const CDayScan& day,
                                 const CSummaryLevels& levels, const CFieldUnit& unit = {});
// The day's 24 rows, each ending in a line end.
[[nodiscard]] std::string HourRows(ESummaryFormat eFormat, const CDayScan& day,
                                   const CFieldUnit& unit = {});

// A number as the table writes it: at most nDecimals decimals, without trailing zeros; a negative
// nDecimals gives the shortest text that reads back as the same number.
[[nodiscard]] std::string TableNumber(double d, int nDecimals = -1);
// A field for CSV: quoted when it must be.
[[nodiscard]] std::string CsvField(const std::string& str);
