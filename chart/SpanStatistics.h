#pragma once
// What the readings of a span say, for the statistics panel and its copy: how many there are, the
// lowest and highest with their times, the mean and the standard deviation, and the time |E| spent
// at or above each alarm level. Pure functions of the chart's points, like the view's read-out.

#include "chart/ChartState.h"
#include "chart/ChartView.h"

#include <cstddef>
#include <string>

struct CSpanStatistics {
    CChartRange span;
    std::size_t nReadings = 0; // readings whose time lies in the span
    std::size_t nFinite = 0;   // of them, those with a finite value: the figures below
    double dMin = 0.0;
    double dMinTime = 0.0; // the first time the lowest was read
    double dMax = 0.0;
    double dMaxTime = 0.0;
    double dMean = 0.0;
    double dStdDev = 0.0;         // of the readings themselves (divided by their number)
    CAlarmLevels levels;          // as they were when the figures were taken
    double dWarningSeconds = 0.0; // at or above the warning level (when set)
    double dAlertSeconds = 0.0;   // at or above the alert level (when set)
    CFieldUnit unit;              // how the figures are written
};

[[nodiscard]] CSpanStatistics SpanStatisticsOf(const CPointIndex& index, const CChartRange& span,
                                               const CAlarmLevels& levels,
                                               const CFieldUnit& unit = {});

// The figures as lines of text ("label: value"), the first naming the span, for the panel and the
// clipboard alike.
[[nodiscard]] std::string FormatSpanStatistics(const CSpanStatistics& stats);
