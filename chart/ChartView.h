#pragma once
// The view of a day: which span of time is on screen, how it zooms and pans, and what the
// readings in it say (the read-out under the cursor, the value scale that fits them, the time
// spent above an alarm level). Pure functions of the points and ranges, so the window, the
// printed page and the tests agree.
//
// Points are the chart's, in the order they were handed over. They are nearly always in time
// order; CPointIndex finds a span by binary search when they are, and scans when they are not.

#include "chart/ChartGeometry.h"
#include "chart/ChartTimeFormat.h"
#include "chart/ChartTrace.h"

#include <cstddef>
#include <span>
#include <utility>

// The narrowest span the view zooms to: one minute across the plot.
constexpr double MIN_VIEW_SPAN = 60.0 / SECONDS_PER_DAY;

// A span of at least MIN_VIEW_SPAN (or the whole day, when it is shorter) inside day.
[[nodiscard]] CChartRange ClampView(CChartRange view, const CChartRange& day);
// view scaled by dFactor (below 1 zooms in) around dAnchor, which stays where it is on screen.
[[nodiscard]] CChartRange ZoomAround(const CChartRange& view, const CChartRange& day,
                                     double dAnchor, double dFactor);
// view moved by dDelta days, stopping at the day's ends.
[[nodiscard]] CChartRange PanBy(const CChartRange& view, const CChartRange& day, double dDelta);
// The span between two times, in either order.
[[nodiscard]] CChartRange ZoomTo(const CChartRange& day, double dFrom, double dTo);

// Index ranges of the points whose times lie in a span.
class CPointIndex {
public:
    explicit CPointIndex(std::span<const CChartPoint> points);
    // Points whose order is known already (the chart keeps it as points arrive).
    CPointIndex(std::span<const CChartPoint> points, bool bOrdered)
        : m_points(points), m_bOrdered(bOrdered) {}

    // [first, last) of the points in [dFrom, dTo] when the times run forward; the whole array
    // (to be scanned) when they do not.
    [[nodiscard]] std::pair<std::size_t, std::size_t> Between(double dFrom, double dTo) const;
    [[nodiscard]] bool Ordered() const { return m_bOrdered; }
    [[nodiscard]] std::span<const CChartPoint> Points() const { return m_points; }

private:
    std::span<const CChartPoint> m_points;
    bool m_bOrdered = true;
};

// What the read-out shows at a time: the nearest reading when at most one lies in the cursor's
// pixel column, else the lowest and highest of the column.
struct CReadout {
    bool bAny = false;      // a reading lies in or near the column, or the trace crosses it
    bool bSingle = true;    // dValue is one reading (at dTime)
    double dTime = 0.0;     // the reading's time, or the cursor's when the column holds many
    double dValue = 0.0;    // the reading
    double dMin = 0.0;      // the column's lowest finite reading
    double dMax = 0.0;      // and its highest
    std::size_t nIndex = 0; // the nearest reading's index, whenever bAny
};

// dColumn is the width of one pixel column in days; the column is centred on dTime. The nearest
// reading is looked for within dReach days of the column's edges, and, when the times run
// forward, between the two readings whose line in the trace crosses the column.
[[nodiscard]] CReadout ReadoutAt(const CPointIndex& index, double dTime, double dColumn,
                                 double dReach);

// The index of the reading next to nIndex (nStep -1 or +1) at another time, for moving the cursor
// reading by reading: readings that share a time stamp count as one. nIndex itself at either
// end.
[[nodiscard]] std::size_t NeighbourReading(const CPointIndex& index, std::size_t nIndex, int nStep);

// The smallest whole number M (at least 1) with every finite reading of the span in [-M, M].
[[nodiscard]] double FitValueScale(const CPointIndex& index, const CChartRange& span);

// Seconds of the span during which |E| was at or above dLevel, by the one rule of
// data/LevelTime.h, looking only at the readings in and next to the span.
[[nodiscard]] double SecondsAtOrAbove(const CPointIndex& index, const CChartRange& span,
                                      double dLevel);
