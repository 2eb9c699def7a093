// The view of a day: zoom and pan arithmetic, the read-out, the fitted scale and the time above a
// level, each against a brute-force answer.

#include "chart/ChartView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {
const CChartRange DAY{1460.0, 1461.0};
constexpr double MINUTE = 1.0 / 1440.0;
constexpr double HOUR = 1.0 / 24.0;

// Two readings a second with noise, a storm, a gap of nan and a few steps.
std::vector<CChartPoint> MakeDay(int nReadings, unsigned nSeed) {
    std::mt19937 rng(nSeed);
    std::normal_distribution<double> noise(0.0, 2.0);
    std::vector<CChartPoint> points;
    for (int i = 0; i < nReadings; ++i) {
        const double dValue = i % 977 == 5 ? std::nan("") : noise(rng);
        points.push_back({1460.0 + i / 172800.0, dValue});
    }
    return points;
}
} // namespace

TEST(ChartView, ZoomAndPanStayInsideTheDayAndAboveAMinute) {
    struct {
        const char* pszCase;
        CChartRange result;
        CChartRange expected;
    } cases[] = {
        {"zoom in around noon keeps noon in place",
         ZoomAround(DAY, DAY, 1460.5, 0.5),
         {1460.25, 1460.75}},
        {"zoom in around 06:00 keeps 06:00 a quarter across",
         ZoomAround(DAY, DAY, 1460.25, 0.5),
         {1460.125, 1460.625}},
        {"zoom out beyond the day is the day", ZoomAround({1460.2, 1460.4}, DAY, 1460.3, 100), DAY},
        {"no narrower than a minute",
         ZoomAround({1460.5, 1460.5 + 2 * MINUTE}, DAY, 1460.5, 0.1),
         {1460.5, 1460.5 + MINUTE}},
        {"zoom at the day's start stays inside",
         ZoomAround({1460.0, 1460.1}, DAY, 1460.0, 3),
         {1460.0, 1460.3}},
        {"pan stops at the end", PanBy({1460.9, 1461.0}, DAY, HOUR), {1460.9, 1461.0}},
        {"pan stops at the start", PanBy({1460.0, 1460.1}, DAY, -HOUR), {1460.0, 1460.1}},
        {"pan moves the span whole", PanBy({1460.5, 1460.6}, DAY, -0.05), {1460.45, 1460.55}},
        {"a dragged span in either order", ZoomTo(DAY, 1460.6, 1460.4), {1460.4, 1460.6}},
        {"a click is a minute around it",
         ZoomTo(DAY, 1460.5, 1460.5),
         {1460.5 - MINUTE / 2, 1460.5 + MINUTE / 2}},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(c.result.dLower, c.expected.dLower, 1e-12) << c.pszCase;
        EXPECT_NEAR(c.result.dUpper, c.expected.dUpper, 1e-12) << c.pszCase;
    }
}

TEST(ChartView, ReadoutAndFittedScaleAgreeWithAScanOfTheReadings) {
    const std::vector<CChartPoint> points = MakeDay(20000, 3);
    const CPointIndex index(points);
    ASSERT_TRUE(index.Ordered());
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> anyTime(1460.0, 1460.0 + 20000 / 172800.0);
    for (int nTry = 0; nTry < 300; ++nTry) {
        const double dTime = anyTime(rng);
        const double dColumn = nTry % 2 == 0 ? 0.25 / 172800.0 : 40.0 / 172800.0;
        const CReadout readout = ReadoutAt(index, dTime, dColumn, 1.0 / 172800.0);
        // Brute force: the finite readings of the column, and the nearest reading.
        std::vector<double> column;
        std::size_t nNearest = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (std::fabs(points[i].dTime - dTime) <= dColumn / 2 &&
                std::isfinite(points[i].dValue)) {
                column.push_back(points[i].dValue);
            }
            if (std::fabs(points[i].dTime - dTime) <= std::fabs(points[nNearest].dTime - dTime)) {
                nNearest = i;
            }
        }
        ASSERT_TRUE(readout.bAny);
        if (column.size() > 1) {
            EXPECT_FALSE(readout.bSingle);
            EXPECT_EQ(readout.dMin, *std::min_element(column.begin(), column.end()));
            EXPECT_EQ(readout.dMax, *std::max_element(column.begin(), column.end()));
        } else {
            EXPECT_TRUE(readout.bSingle);
            EXPECT_EQ(readout.dTime, points[nNearest].dTime);
            EXPECT_EQ(readout.nIndex, nNearest);
        }
    }
    // Reading by reading, and no further than the ends.
    EXPECT_EQ(NeighbourReading(index, 10, +1), 11u);
    EXPECT_EQ(NeighbourReading(index, 0, -1), 0u);
    EXPECT_EQ(NeighbourReading(index, points.size() - 1, +1), points.size() - 1);

    const CChartRange span{1460.01, 1460.02};
    double dLargest = 1.0;
    for (const CChartPoint& point : points) {
        if (point.dTime >= span.dLower && point.dTime <= span.dUpper &&
            std::isfinite(point.dValue)) {
            dLargest = std::max(dLargest, std::fabs(point.dValue));
        }
    }
    EXPECT_EQ(FitValueScale(index, span), std::ceil(dLargest));
}

TEST(ChartView, CursorStepsSecondBySecondWhereTwoReadingsShareATimeStamp) {
    // Two readings a second, logged with whole seconds, as a full day is.
    std::vector<CChartPoint> points;
    for (int i = 0; i < 172800; ++i) {
        points.push_back({1460.0 + (i / 2) / 86400.0, i % 3 - 1.0});
    }
    const CPointIndex index(points);
    // As Ctrl+Left and Ctrl+Right step: the reading at the cursor, then its neighbour.
    double dCursor = 1460.0 + (15 * 3600 + 28 * 60 + 0.3) / 86400.0;
    long nExpected = 15 * 3600 + 28 * 60;
    for (const int nStep : {+1, +1, +1, -1, -1, -1, -1}) {
        dCursor = points[NeighbourReading(index, ReadoutAt(index, dCursor, 0.0, 1.0).nIndex, nStep)]
                      .dTime;
        nExpected += nStep;
        EXPECT_EQ(std::lround((dCursor - 1460.0) * 86400.0), nExpected);
    }
}

TEST(ChartView, ReadoutFindsTheTraceBetweenReadingsAtAOneMinuteZoom) {
    const auto at = [](double dSeconds) { return 1460.5 + dSeconds / 86400.0; };
    const std::vector<CChartPoint> points = {
        {at(0), 1.0}, {at(1), 2.0}, {at(2), std::nan("")}, {at(3), 4.0}};
    const CPointIndex index(points);
    // One minute across 1000 pixels; the window reaches four columns out.
    const double dColumn = MINUTE / 1000;
    struct {
        double dSeconds;
        double dValue; // 0: no reading
    } cases[] = {
        {0.4, 1.0}, {0.6, 2.0}, {1.5, 0.0} /* the trace has a gap */, {3.5, 0.0}, {-0.5, 0.0},
    };
    for (const auto& c : cases) {
        const CReadout readout = ReadoutAt(index, at(c.dSeconds), dColumn, 4 * dColumn);
        EXPECT_EQ(readout.bAny, c.dValue != 0.0) << c.dSeconds;
        if (readout.bAny) {
            EXPECT_EQ(readout.dValue, c.dValue) << c.dSeconds;
        }
    }
}

TEST(ChartView, TimeAboveALevelAgreesWithACountAndHoldsEachReading) {
    // Out of order as well: the scan and the binary search must agree.
    std::vector<CChartPoint> points = MakeDay(3000, 5);
    std::vector<CChartPoint> shuffled = points;
    std::swap(shuffled[10], shuffled[11]);
    for (const auto* pPoints : {&points, &shuffled}) {
        const CPointIndex index(*pPoints);
        // Spans that start and end between readings.
        for (const CChartRange& span :
             {CChartRange{1460.0 + 100.3 / 172800, 1460.0 + 2500.7 / 172800},
              CChartRange{1459.0, 1462.0},
              CChartRange{1460.0 + 7.25 / 172800, 1460.0 + 7.75 / 172800}}) {
            // Brute force: a hundred samples across the time each reading holds.
            double dCount = 0.0;
            for (std::size_t i = 0; i + 1 < pPoints->size(); ++i) {
                const CChartPoint& a = (*pPoints)[i];
                const double dStep = ((*pPoints)[i + 1].dTime - a.dTime) / 100;
                for (int k = 0; k < 100 && dStep > 0 && std::fabs(a.dValue) >= 2.0; ++k) {
                    const double t = a.dTime + (k + 0.5) * dStep;
                    dCount += t >= span.dLower && t < span.dUpper ? dStep : 0.0;
                }
            }
            EXPECT_NEAR(SecondsAtOrAbove(index, span, 2.0), dCount * SECONDS_PER_DAY, 0.02)
                << span.dLower;
        }
    }
}
