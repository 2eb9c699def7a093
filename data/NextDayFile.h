#pragma once
// Which file a viewer that follows the newest day moves on to: loggers start a new file each day
// in the same folder, named so that a later day sorts later. A candidate is a *.vks file (any
// case) of the current file's folder whose name sorts after the current one's, ignoring case; a
// name that sorts the same counts when its file is newer. The latest candidate wins.

#include <string>

// The path of the file to move on to, or empty when there is none.
[[nodiscard]] std::string NextDayFile(const std::string& strCurrent);
