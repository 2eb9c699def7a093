#pragma once
// quillon --info: loads a file exactly as the viewer does and describes it as one JSON object.

#include "chart/ChartState.h"

#include <iosfwd>
#include <string>

struct CFieldRead;

// The JSON object for what a read of strPath found, with the time at or above each alarm level
// that is set.
[[nodiscard]] std::string FormatLoadSummaryJson(const std::string& strPath, const CFieldRead& day,
                                                const CAlarmLevels& alarms = {});

// Runs the command: 0 on success, 1 when the file cannot be opened (message on err).
int RunInfoCommand(const std::string& strPath, std::ostream& out, std::ostream& err);
