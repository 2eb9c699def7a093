#pragma once
// The loading core: reads one data file into g_Samples and hands the points and the scales to the
// chart. No window is involved, so the main window's LoadDataFile only wraps this with its
// progress window, and tests, benchmarks and the command line call it directly.
//
// Flow: file -> CTextLineReader (text-mode lines, at most 254 characters) -> fixed columns
// (FieldParse) -> CDayClock (day numbers) -> g_Samples -> chart method 129 over a SAFEARRAY
// descriptor -> value range (33, 32) and time range (24, 22, 102, 101).

#include "data/FieldSample.h"
#include "platform/WinTypes.h"

#include <string>

class CStrip;

constexpr int FIELD_LINE_CHARS = 254; // characters of a line that are read; the rest is dropped

// What one load found, for --info and for tests.
struct CLoadSummary {
    int nRecords = 0;
    int nSkipped = 0;          // lines that gave no record (time fields out of range)
    bool bReadError = false;   // a read failed before the end of the file
    bool bAnyFinite = false;   // at least one record holds a finite value
    double dValueMin = 0.0;    // smallest finite value (0 without one)
    double dValueMax = 0.0;    // largest finite value (0 without one)
    double dScale = 1.0;       // M: the value range is [-M, M]
    double dTimeLow = 1460.0;  // chart property 102
    double dTimeHigh = 1461.0; // chart property 101
};

// Reads strPath into g_Samples and sets up chart. FALSE when the file cannot be opened (missing,
// a folder, no permission); the chart and g_Samples are then untouched.
BOOL LoadFieldFile(const std::string& strPath, CStrip& chart, CLoadSummary* pSummary = nullptr);

// Hands nRecords samples to the chart in one call (method 129), in place: a 2 x nRecords array of
// doubles over pSamples, described by a SAFEARRAY that is freed as soon as the call returns.
void HandOverPoints(CStrip& chart, const FieldSample* pSamples, int nRecords);
