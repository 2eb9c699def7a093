#pragma once
// Handing a day to the chart: what a load does once the file is read. The points go over in one
// call (method 129) as a 2 x N array over the caller's records, in place; then the value range
// (upper, lower) and the time range (end, span, lower, upper), in the order the chart has always
// been given them.

#include "chart/ChartTrace.h"
#include "data/FieldLoader.h"

#include <span>
#include <string>
#include <vector>

class CStrip;

// Method 129 over records, described by a SAFEARRAY freed as soon as the call returns.
void HandOverPoints(CStrip& chart, std::span<const FieldSample> records);

// The points, then the ranges from the summary.
void HandOverDay(CStrip& chart, const CFieldRead& day);

// The chart's own copy of records, made ahead of the hand-over and on any thread: copying a full
// day into fresh memory is most of what a hand-over costs.
[[nodiscard]] std::vector<CChartPoint> PreparePoints(std::span<const FieldSample> records);

// HandOverDay with the points prepared ahead: the chart takes them whole where it can (points is
// left with whatever it held before), else (or when points is not a copy of all the records) the
// records go over by method 129. The ranges follow as ever.
void HandOverDay(CStrip& chart, const CFieldRead& day, std::vector<CChartPoint>& points);

// Reads strPath into samples and hands what was read to chart. Nothing reaches the chart when the
// file cannot be opened.
CFieldRead LoadFieldFile(const std::string& strPath, std::span<FieldSample> samples, CStrip& chart);
