#pragma once
// quillon --export: the chart of a data file written without a window, as an image (.png, .svg:
// the chart as the screen shows it) or as the printed page (.pdf). Needs the application object.

#include <iosfwd>
#include <string>

struct CCommandLine;

// 0 on success; 1 with one line on err when anything is wrong (nothing is then written).
int RunExportCommand(const CCommandLine& cmd, std::ostream& err);
