#pragma once
// The chart's geometry in device coordinates: the ranges it shows, the plot area inside the
// chart's rectangle, and the value class that maps a time or a value onto a pixel coordinate.
//
// Drawing asks CChartGeometry once per drawing; everything downstream (ticks, trace) only maps
// through its two CChartScaleMap objects, so none of them ever divides by a range of its own.

#include <cmath>

struct CChartRect {
    double dLeft = 0.0;
    double dTop = 0.0;
    double dRight = 0.0;
    double dBottom = 0.0;

    [[nodiscard]] double Width() const { return dRight - dLeft; }
    [[nodiscard]] double Height() const { return dBottom - dTop; }
};

// A range of times (day numbers) or values, lower bound first.
struct CChartRange {
    double dLower = 0.0;
    double dUpper = 1.0;

    [[nodiscard]] double Span() const { return dUpper - dLower; }
};

// A range the chart can draw: an upper bound not above the lower one becomes the fallback when the
// bound lies in it (a file whose last reading is at 24:00 gives 1461 to 1461: its day is shown),
// else one unit (one day) from the lower bound; bounds that are not finite, or too large to tell
// a unit apart, give the fallback. Any finite span is drawn, up to -DBL_MAX to DBL_MAX.
[[nodiscard]] CChartRange NormaliseRange(CChartRange range, CChartRange fallback);

// The plot area's edges as fractions of the chart's height (bottom, top) and width (left, right),
// measured from its top-left corner.
struct CPlotFractions {
    double dBottom = 0.91;
    double dTop = 0.04;
    double dLeft = 0.06;
    double dRight = 0.97;
};

// The plot area of a chart drawn in rcChart. Fractions are clamped to [0, 1] (nan counts as the
// default) and edges given the wrong way round are swapped.
[[nodiscard]] CChartRect PlotAreaOf(const CChartRect& rcChart, const CPlotFractions& fractions);

// Maps a linear interval onto a pixel interval: dFrom1 -> dTo1, dFrom2 -> dTo2. The interval
// must have a positive finite span (NormaliseRange gives one); an empty one maps all to dTo1.
class CChartScaleMap {
public:
    CChartScaleMap() = default;
    CChartScaleMap(double dFrom1, double dFrom2, double dTo1, double dTo2);

    [[nodiscard]] double Map(double d) const {
        return m_dTo1 + (d * 0.5 - m_dHalfFrom1) * m_dHalfFactor;
    }
    [[nodiscard]] double Invert(double dPixel) const;
    [[nodiscard]] double From1() const { return m_dFrom1; }
    [[nodiscard]] double From2() const { return m_dFrom2; }
    [[nodiscard]] double To1() const { return m_dTo1; }
    [[nodiscard]] double To2() const { return m_dTo2; }

private:
    double m_dFrom1 = 0.0;
    double m_dFrom2 = 1.0;
    double m_dTo1 = 0.0;
    double m_dTo2 = 1.0;
    double m_dHalfFrom1 = 0.0;
    double m_dHalfFactor = 2.0; // pixels per half unit
};

// The default time range (the loaded day) and value range, used when a range cannot be drawn.
constexpr CChartRange DEFAULT_TIME_RANGE{1460.0, 1461.0};
constexpr CChartRange DEFAULT_VALUE_RANGE{-1.0, 1.0};

// Everything one drawing needs to place things: the plot area and the two mappings.
class CChartGeometry {
public:
    // bValueDown: the value range's lower bound at the top (an axis that reads the values with
    // their sign turned, such as the potential gradient).
    CChartGeometry(const CChartRect& rcChart, const CPlotFractions& fractions,
                   const CChartRange& timeRange, const CChartRange& valueRange,
                   bool bValueDown = false);

    [[nodiscard]] const CChartRect& Chart() const { return m_rcChart; }
    [[nodiscard]] const CChartRect& Plot() const { return m_rcPlot; }
    [[nodiscard]] const CChartRange& TimeRange() const { return m_timeRange; }
    [[nodiscard]] const CChartRange& ValueRange() const { return m_valueRange; }
    // Time -> x (lower bound at the plot's left edge); value -> y (lower bound at the bottom,
    // unless the values run down).
    [[nodiscard]] const CChartScaleMap& TimeMap() const { return m_timeMap; }
    [[nodiscard]] const CChartScaleMap& ValueMap() const { return m_valueMap; }

private:
    CChartRect m_rcChart;
    CChartRect m_rcPlot;
    CChartRange m_timeRange;
    CChartRange m_valueRange;
    CChartScaleMap m_timeMap;
    CChartScaleMap m_valueMap;
};
