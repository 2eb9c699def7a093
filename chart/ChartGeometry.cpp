#include "chart/ChartGeometry.h"

#include <algorithm>
#include <utility>

CChartRange NormaliseRange(CChartRange range, CChartRange fallback) {
    if (!std::isfinite(range.dLower) || !std::isfinite(range.dUpper)) {
        return fallback;
    }
    if (!(range.dUpper > range.dLower)) {
        range.dUpper = range.dLower + 1.0;
    }
    // Beyond 2^53 adding one changes nothing, and a span that overflows maps nothing.
    const double dSpan = range.dUpper - range.dLower;
    if (!(dSpan > 0.0) || !std::isfinite(dSpan)) {
        return fallback;
    }
    return range;
}

namespace {
double ClampFraction(double d, double dDefault) {
    if (std::isnan(d)) {
        return dDefault;
    }
    return std::clamp(d, 0.0, 1.0);
}
} // namespace

CChartRect PlotAreaOf(const CChartRect& rcChart, const CPlotFractions& fractions) {
    const CPlotFractions defaults;
    double dTop = ClampFraction(fractions.dTop, defaults.dTop);
    double dBottom = ClampFraction(fractions.dBottom, defaults.dBottom);
    double dLeft = ClampFraction(fractions.dLeft, defaults.dLeft);
    double dRight = ClampFraction(fractions.dRight, defaults.dRight);
    if (dBottom < dTop) {
        std::swap(dBottom, dTop);
    }
    if (dRight < dLeft) {
        std::swap(dRight, dLeft);
    }
    const double dWidth = rcChart.Width();
    const double dHeight = rcChart.Height();
    return {rcChart.dLeft + dLeft * dWidth, rcChart.dTop + dTop * dHeight,
            rcChart.dLeft + dRight * dWidth, rcChart.dTop + dBottom * dHeight};
}

CChartScaleMap::CChartScaleMap(double dFrom1, double dFrom2, double dTo1, double dTo2)
    : m_dFrom1(dFrom1), m_dFrom2(dFrom2), m_dTo1(dTo1), m_dTo2(dTo2) {
    const double dSpan = dFrom2 - dFrom1;
    m_dFactor = dSpan != 0.0 && std::isfinite(dSpan) ? (dTo2 - dTo1) / dSpan : 0.0;
}

double CChartScaleMap::Invert(double dPixel) const {
    return m_dFactor != 0.0 ? m_dFrom1 + (dPixel - m_dTo1) / m_dFactor : m_dFrom1;
}

CChartGeometry::CChartGeometry(const CChartRect& rcChart, const CPlotFractions& fractions,
                               const CChartRange& timeRange, const CChartRange& valueRange)
    : m_rcChart(rcChart), m_rcPlot(PlotAreaOf(rcChart, fractions)),
      m_timeRange(NormaliseRange(timeRange, DEFAULT_TIME_RANGE)),
      m_valueRange(NormaliseRange(valueRange, DEFAULT_VALUE_RANGE)),
      m_timeMap(m_timeRange.dLower, m_timeRange.dUpper, m_rcPlot.dLeft, m_rcPlot.dRight),
      m_valueMap(m_valueRange.dLower, m_valueRange.dUpper, m_rcPlot.dBottom, m_rcPlot.dTop) {}
