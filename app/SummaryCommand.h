#pragma once
// quillon --summary PATH...: the days of the files and folders given, one row per day (or per
// hour with --hourly) as CSV with a header, or as JSON lines (doc/SummaryTable.h), in date order
// whatever order the paths came in. Days are summarised on every core (doc/ArchiveScan.h); a
// folder's summaries are kept in the user's cache folder (doc/SummaryCache.h), so that a second
// run reads only the days that changed.

#include <iosfwd>
#include <string>

struct CCommandLine;

// Where the summaries' caches live: the user's cache folder for the program (empty when the
// platform names none).
[[nodiscard]] std::string SummaryCacheFolder();

// Prints the rows on out. A path that cannot be read is named on err and the rest are still
// summarised; the result is then 1, else 0. strCacheFolder empty: no cache.
int RunSummaryCommand(const CCommandLine& cmd, const std::string& strCacheFolder, std::ostream& out,
                      std::ostream& err);
