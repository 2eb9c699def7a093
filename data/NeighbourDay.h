#pragma once
// The day before and the day after a day's file, for stepping through a folder of days: loggers
// write one file a day into one folder. A file whose name holds a date (data/FileDate.h) steps to
// the nearest *.vks file of its folder with an earlier or later date (files of one date in name
// order); a file without a date steps through the other undated files in name order, ignoring
// case. Only regular files whose names end in .vks (any case) count.

#include <string>

// The path of the neighbouring day (nStep -1: the one before, +1: the one after), in the folder as
// strCurrent names it; empty when there is none.
[[nodiscard]] std::string NeighbourDay(const std::string& strCurrent, int nStep);

// True when no later day lies in strCurrent's folder: the day a logger may still be writing. A
// day with a later one beside it is a past day.
[[nodiscard]] bool IsLatestDay(const std::string& strCurrent);
