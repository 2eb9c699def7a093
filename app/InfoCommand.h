#pragma once
// quillon --info: loads a file exactly as the viewer does and describes it as one JSON object.

#include <iosfwd>
#include <string>

struct CLoadSummary;

// The JSON object for a loaded file (records from g_Samples).
[[nodiscard]] std::string FormatLoadSummaryJson(const std::string& strPath,
                                                const CLoadSummary& summary);

// Runs the command: 0 on success, 1 when the file cannot be opened (message on err).
int RunInfoCommand(const std::string& strPath, std::ostream& out, std::ostream& err);
