// Trace reduction and clipping: what reaches the painter for a day of points.

#include "chart/ChartTrace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr int FULL_DAY = 172800;

struct CTraceFixture {
    CChartRect rcPlot{72, 32, 1164, 728};
    CChartScaleMap timeMap{1460.0, 1461.0, 72, 1164};
    CChartScaleMap valueMap{-10.0, 10.0, 728, 32};
    CTraceBuilder builder;

    void Build(const std::vector<CChartPoint>& points, double dColumns = 1.0) {
        builder.Build(points.data(), points.size(), timeMap, valueMap, rcPlot, dColumns);
    }
    std::vector<CTracePoint> Run(std::size_t i) const {
        return {builder.Points().begin() + static_cast<std::ptrdiff_t>(builder.RunBegin(i)),
                builder.Points().begin() + static_cast<std::ptrdiff_t>(builder.RunEnd(i))};
    }
};

std::vector<CChartPoint> FlatDay(double dValue) {
    std::vector<CChartPoint> points(FULL_DAY);
    for (int i = 0; i < FULL_DAY; ++i) {
        points[static_cast<std::size_t>(i)] = {1460.0 + (i / 2) / 86400.0, dValue};
    }
    return points;
}
} // namespace

TEST(ChartTrace, FullDayReducesToAFewPointsPerColumnAndKeepsASpike) {
    CTraceFixture f;
    std::vector<CChartPoint> points = FlatDay(0.0);
    points[100001].dValue = 9.5;  // one reading up
    points[140001].dValue = -9.5; // one reading down
    f.Build(points);
    ASSERT_EQ(f.builder.RunCount(), 1u);
    EXPECT_LE(f.builder.Points().size(), 4u * (1092 + 1));
    double dTop = 1e9;
    double dBottom = -1e9;
    for (const CTracePoint& pt : f.builder.Points()) {
        dTop = std::min(dTop, pt.dY);
        dBottom = std::max(dBottom, pt.dY);
    }
    EXPECT_DOUBLE_EQ(dTop, f.valueMap.Map(9.5));
    EXPECT_DOUBLE_EQ(dBottom, f.valueMap.Map(-9.5));
    // Without reduction every point stays.
    f.Build(points, 0.0);
    EXPECT_EQ(f.builder.Points().size(), points.size());
}

TEST(ChartTrace, ColumnKeepsFirstExtremesInOrderAndLast) {
    CTraceFixture f;
    const double t = 1460.5; // all in one column
    f.Build({{t, 1}, {t, 5}, {t, -3}, {t, 2}});
    const std::vector<CTracePoint> run = f.Run(0);
    ASSERT_EQ(run.size(), 4u);
    const double expected[] = {1, 5, -3, 2}; // the high came before the low
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(run[i].dY, f.valueMap.Map(expected[i])) << i;
    }
}

TEST(ChartTrace, BackwardTimesAreDrawnPointForPoint) {
    CTraceFixture f;
    const double dSecond = 1.0 / 86400;
    // Within one column: forward, back, forward again. Every point must be kept, in order.
    const std::vector<CChartPoint> points = {{1460.5, 1},
                                             {1460.5 + 2 * dSecond, 2},
                                             {1460.5 + 1 * dSecond, 3},
                                             {1460.5 + 3 * dSecond, 4},
                                             {1460.5 - 10 * dSecond, 5}};
    f.Build(points);
    const std::vector<CTracePoint> run = f.Run(0);
    ASSERT_EQ(run.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_DOUBLE_EQ(run[i].dX, f.timeMap.Map(points[i].dTime)) << i;
        EXPECT_DOUBLE_EQ(run[i].dY, f.valueMap.Map(points[i].dValue)) << i;
    }
}

TEST(ChartTrace, NanLeavesAGapAndALoneReadingStays) {
    CTraceFixture f;
    f.Build({{1460.1, 1}, {1460.2, 2}, {1460.3, NaN}, {1460.4, 3}, {NaN, 3}, {1460.6, 4}});
    ASSERT_EQ(f.builder.RunCount(), 3u);
    EXPECT_EQ(f.Run(0).size(), 2u);
    EXPECT_EQ(f.Run(1).size(), 1u);
    EXPECT_EQ(f.Run(2).size(), 1u);
}

TEST(ChartTrace, ValuesBeyondTheRangeAreClippedAtThePlotArea) {
    CTraceFixture f;
    const double INF = std::numeric_limits<double>::infinity();
    f.Build({{1460.1, 0}, {1460.2, 1e300}, {1460.3, 0}, {1460.4, -INF}, {1460.5, 0}});
    for (const CTracePoint& pt : f.builder.Points()) {
        EXPECT_GE(pt.dY, f.rcPlot.dTop);
        EXPECT_LE(pt.dY, f.rcPlot.dBottom);
    }
    // Up to the top edge and back, down to the bottom edge and back: the trace leaves the plot
    // area twice, so there are three runs, each ending or starting on an edge.
    ASSERT_EQ(f.builder.RunCount(), 3u);
    EXPECT_DOUBLE_EQ(f.Run(0).back().dY, f.rcPlot.dTop);
    EXPECT_DOUBLE_EQ(f.Run(1).front().dY, f.rcPlot.dTop);
    EXPECT_DOUBLE_EQ(f.Run(1).back().dY, f.rcPlot.dBottom);
    EXPECT_DOUBLE_EQ(f.Run(2).front().dY, f.rcPlot.dBottom);
    // A segment between two points above the range leaves nothing.
    f.Build({{1460.1, 20}, {1460.2, 30}});
    EXPECT_EQ(f.builder.RunCount(), 0u);
    // Times outside the range are clipped at the left and right edges.
    f.Build({{1459.5, 0}, {1461.5, 0}});
    ASSERT_EQ(f.builder.RunCount(), 1u);
    EXPECT_DOUBLE_EQ(f.Run(0).front().dX, f.rcPlot.dLeft);
    EXPECT_DOUBLE_EQ(f.Run(0).back().dX, f.rcPlot.dRight);
}
