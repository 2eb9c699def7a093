#pragma once
// quillon --info: loads a file exactly as the viewer does and describes it as one JSON object.

#include "data/AlarmWatch.h"

#include <iosfwd>
#include <string>

struct CFieldRead;

// The JSON object for what a read of strPath found: the flashes at the rule's step level, and,
// with alarm levels set, the time at or above each and the alarm episodes by the rule.
[[nodiscard]] std::string FormatLoadSummaryJson(const std::string& strPath, const CFieldRead& day,
                                                const CAlarmRule& rule = {});

// Runs the command: 0 on success, 1 when the file cannot be opened (message on err).
int RunInfoCommand(const std::string& strPath, std::ostream& out, std::ostream& err);
