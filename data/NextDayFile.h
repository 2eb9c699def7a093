#pragma once
// Which file a viewer that follows the newest day moves on to: loggers start a new file each day
// in the same folder, named after the day. A candidate is a regular file of the current file's
// folder whose name carries a later date than the current one's in the same pattern: the same
// text before and after the date (ignoring case) and the date written the same way (YYYYMMDD or
// YYYY-MM-DD). A name without a date is never a candidate, and a current file without one has
// no next day; nothing earlier is ever one. The latest candidate wins: the day the logger writes.

#include <string>

// The path of the file to move on to, or empty when there is none.
[[nodiscard]] std::string NextDayFile(const std::string& strCurrent);
