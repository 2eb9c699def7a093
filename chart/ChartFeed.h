#pragma once
// Showing the open day on the chart: the chart's side of what the day document announces. A new
// day goes over as a load has always handed it: the points in one call (method 129) as a 2 x N
// array over the document's records, in place, then the value range (upper, lower) and the time
// range (end, span, lower, upper). Readings appended while the file is followed join the chart's
// points through the typed operation, and the value range is written again only when it grew.

#include "doc/DayDocument.h"

#include <cstddef>

class CStrip;

// Method 129 over the day's records, then the ranges.
void HandOverDay(CStrip& chart, const CDayDocument& day);

// The records from nFirst on replace the chart's points from there; the value range follows.
void HandOverAppended(CStrip& chart, const CDayDocument& day, std::size_t nFirst);
