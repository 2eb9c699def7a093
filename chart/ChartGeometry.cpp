#include "chart/ChartGeometry.h"

#include <algorithm>
#include <utility>

CChartRange NormaliseRange(CChartRange range, CChartRange fallback) {
    if (!std::isfinite(range.dLower) || !std::isfinite(range.dUpper)) {
        return fallback;
    }
    if (!(range.dUpper > range.dLower)) {
        // A bound inside the fallback (a day whose last reading is at 24:00 gives 1461 to 1461)
        // shows the fallback, the day that holds it.
        if (range.dLower >= fallback.dLower && range.dLower <= fallback.dUpper) {
            return fallback;
        }
        range.dUpper = range.dLower + 1.0;
    }
    // Beyond 2^53 adding one changes nothing.
    if (!(range.dUpper > range.dLower)) {
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
    : m_dFrom1(dFrom1), m_dFrom2(dFrom2), m_dTo1(dTo1), m_dTo2(dTo2), m_dHalfFrom1(dFrom1 * 0.5) {
    // Halves, so that the widest finite ranges (-1e308 to 1e308) do not overflow; halving is
    // exact, so every other range maps exactly as (d - from1) * factor would.
    const double dHalfSpan = dFrom2 * 0.5 - m_dHalfFrom1;
    m_dHalfFactor = dHalfSpan != 0.0 && std::isfinite(dHalfSpan) ? (dTo2 - dTo1) / dHalfSpan : 0.0;
}

double CChartScaleMap::Invert(double dPixel) const {
    return m_dHalfFactor != 0.0 ? 2.0 * (m_dHalfFrom1 + (dPixel - m_dTo1) / m_dHalfFactor)
                                : m_dFrom1;
}

CChartGeometry::CChartGeometry(const CChartRect& rcChart, const CPlotFractions& fractions,
                               const CChartRange& timeRange, const CChartRange& valueRange,
                               bool bValueDown)
    : m_rcChart(rcChart), m_rcPlot(PlotAreaOf(rcChart, fractions)),
      m_timeRange(NormaliseRange(timeRange, DEFAULT_TIME_RANGE)),
      m_valueRange(NormaliseRange(valueRange, DEFAULT_VALUE_RANGE)),
      m_timeMap(m_timeRange.dLower, m_timeRange.dUpper, m_rcPlot.dLeft, m_rcPlot.dRight),
      m_valueMap(m_valueRange.dLower, m_valueRange.dUpper,
                 bValueDown ? m_rcPlot.dTop : m_rcPlot.dBottom,
                 bValueDown ? m_rcPlot.dBottom : m_rcPlot.dTop) {}
