#pragma once
// quillon --export: the chart of a data file written without a window, as an image (.png, .svg:
// the chart as the screen shows it) or as the printed page (.pdf). Needs the application object.
// With a folder as OUT (and any number of days) each day is drawn into OUT/<name>.png (or the
// --format's type) in this one process, a day per core at a time.

#include <iosfwd>
#include <string>

struct CCommandLine;

// 0 on success; 1 with one line on err when anything is wrong (nothing is then written). In a
// batch, every day that could not be drawn is named and the others are drawn.
int RunExportCommand(const CCommandLine& cmd, std::ostream& err);
