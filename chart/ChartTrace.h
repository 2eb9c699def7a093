#pragma once
// Turns the chart's points into the polylines that are drawn: mapped to device coordinates,
// reduced per device-pixel column and clipped to the plot area.
//
// Points -> map (time to x, value to y) -> per column the first, lowest, highest and last point
// where the times run forward; every point where they go backwards -> clip each segment to the
// plot area -> runs of connected points. A nan value ends a run and leaves a gap, so does a
// stretch outside the plot area. A day of 172,800 points thus becomes a few thousand points at
// any resolution, and a spike of one reading still reaches its pixel.

#include "chart/ChartGeometry.h"

#include <cstddef>
#include <vector>

// One point as the chart holds it: two doubles back to back, as method 129 delivers them.
struct CChartPoint {
    double dTime;
    double dValue;
};
static_assert(sizeof(CChartPoint) == 2 * sizeof(double), "points are read as packed pairs");

struct CTracePoint {
    double dX;
    double dY;
};

class CTraceBuilder {
public:
    // Builds the runs for nPoints points. dColumnsPerUnit is how many device pixels one unit of
    // the mapped coordinates spans across (1 for an unscaled painter); 0 turns reduction off and
    // keeps every point, which only tests and comparisons want.
    void Build(const CChartPoint* pPoints, std::size_t nPoints, const CChartScaleMap& timeMap,
               const CChartScaleMap& valueMap, const CChartRect& rcClip, double dColumnsPerUnit);

    [[nodiscard]] const std::vector<CTracePoint>& Points() const { return m_points; }
    [[nodiscard]] std::size_t RunCount() const { return m_runStarts.size(); }
    // The points of run i are [RunBegin(i), RunEnd(i)).
    [[nodiscard]] std::size_t RunBegin(std::size_t i) const { return m_runStarts[i]; }
    [[nodiscard]] std::size_t RunEnd(std::size_t i) const {
        return i + 1 < m_runStarts.size() ? m_runStarts[i + 1] : m_points.size();
    }

private:
    struct CBucket {
        double dColumn = 0.0;
        std::size_t nFirst = 0;
        std::size_t nLow = 0;
        std::size_t nHigh = 0;
        std::size_t nLast = 0;
        CTracePoint first{};
        CTracePoint low{};
        CTracePoint high{};
        CTracePoint last{};
    };

    void FlushBucket();
    void Emit(const CTracePoint& ptMapped);
    void Break();
    void StartRun(const CTracePoint& pt);

    CChartRect m_rcClip;
    bool m_bBucket = false;
    CBucket m_bucket;
    bool m_bPrevious = false; // m_previous holds the last emitted point of this stretch
    CTracePoint m_previous{};
    bool m_bRunOpen = false;
    std::vector<CTracePoint> m_points;
    std::vector<std::size_t> m_runStarts;
};
