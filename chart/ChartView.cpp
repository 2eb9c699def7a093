#include "chart/ChartView.h"

#include "data/LevelTime.h"

#include <algorithm>
#include <cmath>

CChartRange ClampView(CChartRange view, const CChartRange& day) {
    const double dDaySpan = day.Span();
    double dSpan = std::clamp(view.Span(), std::min(MIN_VIEW_SPAN, dDaySpan), dDaySpan);
    if (!std::isfinite(dSpan)) {
        dSpan = dDaySpan;
    }
    double dLower = std::isfinite(view.dLower) ? view.dLower : day.dLower;
    dLower = std::clamp(dLower, day.dLower, day.dUpper - dSpan);
    return {dLower, dLower + dSpan};
}

CChartRange ZoomAround(const CChartRange& view, const CChartRange& day, double dAnchor,
                       double dFactor) {
    const double dSpan = view.Span();
    const double dWanted =
        std::clamp(dSpan * dFactor, std::min(MIN_VIEW_SPAN, day.Span()), day.Span());
    // The anchor keeps its fraction of the way across.
    const double dFraction = dSpan > 0.0 ? (dAnchor - view.dLower) / dSpan : 0.5;
    const double dLower = dAnchor - dFraction * dWanted;
    return ClampView({dLower, dLower + dWanted}, day);
}

CChartRange PanBy(const CChartRange& view, const CChartRange& day, double dDelta) {
    return ClampView({view.dLower + dDelta, view.dUpper + dDelta}, day);
}

CChartRange ZoomTo(const CChartRange& day, double dFrom, double dTo) {
    const double dLower = std::min(dFrom, dTo);
    const double dUpper = std::max(dFrom, dTo);
    const double dSpan = std::max(dUpper - dLower, std::min(MIN_VIEW_SPAN, day.Span()));
    const double dMiddle = (dLower + dUpper) / 2;
    return ClampView({dMiddle - dSpan / 2, dMiddle + dSpan / 2}, day);
}

CPointIndex::CPointIndex(std::span<const CChartPoint> points) : m_points(points) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (!(points[i].dTime >= points[i - 1].dTime)) {
            m_bOrdered = false;
            break;
        }
    }
}

std::pair<std::size_t, std::size_t> CPointIndex::Between(double dFrom, double dTo) const {
    if (!m_bOrdered) {
        return {0, m_points.size()};
    }
    const auto itFirst =
        std::lower_bound(m_points.begin(), m_points.end(), dFrom,
                         [](const CChartPoint& point, double d) { return point.dTime < d; });
    const auto itLast =
        std::upper_bound(itFirst, m_points.end(), dTo,
                         [](double d, const CChartPoint& point) { return d < point.dTime; });
    return {static_cast<std::size_t>(itFirst - m_points.begin()),
            static_cast<std::size_t>(itLast - m_points.begin())};
}

CReadout ReadoutAt(const CPointIndex& index, double dTime, double dColumn, double dReach) {
    CReadout readout;
    readout.dTime = dTime;
    const std::span<const CChartPoint> points = index.Points();
    const double dHalf = std::max(dColumn, 0.0) / 2;
    const double dOut = dHalf + std::max(dReach, 0.0); // reach counts from the column's edges
    const auto [nFirst, nLast] = index.Between(dTime - dOut, dTime + dOut);
    std::size_t nInColumn = 0;
    std::size_t nNearest = points.size();
    double dNearest = dOut;
    for (std::size_t i = nFirst; i < nLast; ++i) {
        const CChartPoint& point = points[i];
        const double dDistance = std::fabs(point.dTime - dTime);
        if (dDistance <= dNearest) {
            nNearest = i;
            dNearest = dDistance;
        }
        if (dDistance <= dHalf && std::isfinite(point.dValue)) {
            readout.dMin = nInColumn == 0 ? point.dValue : std::min(readout.dMin, point.dValue);
            readout.dMax = nInColumn == 0 ? point.dValue : std::max(readout.dMax, point.dValue);
            ++nInColumn;
        }
    }
    if (nNearest == points.size() && index.Ordered()) {
        // Zoomed in, readings lie many columns apart and the trace's line between two of them
        // crosses the column: the nearer of the two. A gap in the trace (nan) has no line.
        const std::size_t nAfter = index.Between(dTime, dTime).first;
        if (nAfter > 0 && nAfter < points.size() && std::isfinite(points[nAfter - 1].dValue) &&
            std::isfinite(points[nAfter].dValue)) {
            nNearest = dTime - points[nAfter - 1].dTime < points[nAfter].dTime - dTime ? nAfter - 1
                                                                                       : nAfter;
        }
    }
    if (nNearest == points.size()) {
        return readout;
    }
    readout.bAny = true;
    readout.nIndex = nNearest;
    if (nInColumn > 1) {
        readout.bSingle = false;
        return readout;
    }
    readout.dTime = points[nNearest].dTime;
    readout.dValue = points[nNearest].dValue;
    readout.dMin = readout.dMax = readout.dValue;
    return readout;
}

std::size_t NeighbourReading(const CPointIndex& index, std::size_t nIndex, int nStep) {
    const std::span<const CChartPoint> points = index.Points();
    if (points.empty()) {
        return 0;
    }
    nIndex = std::min(nIndex, points.size() - 1);
    // Readings that share a time stamp are passed over as one: the cursor is a time.
    const double dFrom = points[nIndex].dTime;
    std::size_t n = nIndex;
    while (nStep < 0 ? n > 0 : n + 1 < points.size()) {
        n = nStep < 0 ? n - 1 : n + 1;
        if (points[n].dTime != dFrom) {
            return n;
        }
    }
    return nIndex;
}

double FitValueScale(const CPointIndex& index, const CChartRange& span) {
    const std::span<const CChartPoint> points = index.Points();
    const auto [nFirst, nLast] = index.Between(span.dLower, span.dUpper);
    double dMagnitude = 1.0;
    for (std::size_t i = nFirst; i < nLast; ++i) {
        const CChartPoint& point = points[i];
        if (point.dTime >= span.dLower && point.dTime <= span.dUpper &&
            std::isfinite(point.dValue)) {
            dMagnitude = std::max(dMagnitude, std::fabs(point.dValue));
        }
    }
    return std::ceil(dMagnitude);
}

double SecondsAtOrAbove(const CPointIndex& index, const CChartRange& span, double dLevel) {
    const std::span<const CChartPoint> points = index.Points();
    if (points.size() < 2 || !(span.dUpper > span.dLower)) {
        return 0.0;
    }
    // The reading before the span holds into it.
    auto [nFirst, nLast] = index.Between(span.dLower, span.dUpper);
    if (index.Ordered()) {
        nFirst = nFirst > 0 ? nFirst - 1 : 0;
        nLast = std::min(nLast + 1, points.size());
    }
    return SecondsAtOrAboveLevel(points.subspan(nFirst, nLast - nFirst), span.dLower, span.dUpper,
                                 dLevel);
}
