// The figures of a span against a brute-force count over the same readings, in time order and out
// of it, with readings that are not numbers.

#include "chart/SpanStatistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {
struct CBrute {
    std::size_t nReadings = 0;
    std::size_t nFinite = 0;
    double dMin = 0.0;
    double dMax = 0.0;
    double dMean = 0.0;
    double dStdDev = 0.0;
    double dWarningSeconds = 0.0;
};

// Each reading holds until the next one in the array, as the alarm counts time.
CBrute Count(const std::vector<CChartPoint>& points, const CChartRange& span, double dWarning) {
    CBrute brute;
    double dSum = 0.0;
    std::vector<double> values;
    for (const CChartPoint& point : points) {
        if (point.dTime < span.dLower || point.dTime > span.dUpper) {
            continue;
        }
        ++brute.nReadings;
        if (std::isfinite(point.dValue)) {
            values.push_back(point.dValue);
            dSum += point.dValue;
        }
    }
    brute.nFinite = values.size();
    if (!values.empty()) {
        brute.dMin = *std::min_element(values.begin(), values.end());
        brute.dMax = *std::max_element(values.begin(), values.end());
        brute.dMean = dSum / static_cast<double>(values.size());
        double dSquares = 0.0;
        for (const double d : values) {
            dSquares += (d - brute.dMean) * (d - brute.dMean);
        }
        brute.dStdDev = std::sqrt(dSquares / static_cast<double>(values.size()));
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        if (std::fabs(points[i].dValue) >= dWarning) {
            const double dFrom = std::max(points[i].dTime, span.dLower);
            const double dTo = std::min(points[i + 1].dTime, span.dUpper);
            brute.dWarningSeconds += std::max(0.0, dTo - dFrom) * SECONDS_PER_DAY;
        }
    }
    return brute;
}
} // namespace

TEST(SpanStatistics, AgreeWithABruteForceCount) {
    std::mt19937 random(20040101);
    std::normal_distribution<double> field(0.3, 2.0);
    std::vector<CChartPoint> points;
    for (int i = 0; i < 20000; ++i) {
        points.push_back({1460.0 + i / 20000.0, field(random)});
    }
    points[5000].dValue = std::numeric_limits<double>::quiet_NaN();
    points[7000].dValue = -40.0; // the lowest, inside the span
    const CChartRange span{1460.2, 1460.45};
    for (const bool bOrdered : {true, false}) {
        if (!bOrdered) {
            std::swap(points[100], points[15000]); // the index now scans
        }
        const CPointIndex index(points);
        ASSERT_EQ(index.Ordered(), bOrdered);
        const CSpanStatistics stats = SpanStatisticsOf(index, span, {1.5, 0.0});
        const CBrute brute = Count(points, span, 1.5);
        EXPECT_EQ(stats.nReadings, brute.nReadings);
        EXPECT_EQ(stats.nFinite, brute.nFinite);
        EXPECT_EQ(stats.nReadings, stats.nFinite + 1);
        EXPECT_EQ(stats.dMin, -40.0);
        EXPECT_EQ(stats.dMinTime, points[7000].dTime);
        EXPECT_EQ(stats.dMax, brute.dMax);
        EXPECT_NEAR(stats.dMean, brute.dMean, 1e-12);
        EXPECT_NEAR(stats.dStdDev, brute.dStdDev, 1e-9);
        if (bOrdered) { // out of order, "until the next reading" is no longer a time
            EXPECT_NEAR(stats.dWarningSeconds, brute.dWarningSeconds, 1e-6);
        }
        EXPECT_EQ(stats.dAlertSeconds, 0.0) << "a level not set counts nothing";
    }
}

TEST(SpanStatistics, AnEmptySpanSaysSoAndTheTextNamesEveryFigure) {
    const std::vector<CChartPoint> points = {{1460.5, 3.0}, {1460.75, -1.0}};
    const CPointIndex index(points);
    const CSpanStatistics none = SpanStatisticsOf(index, {1460.1, 1460.2}, {});
    EXPECT_EQ(none.nReadings, 0u);
    EXPECT_EQ(FormatSpanStatistics(none), "Span: 02:24:00 to 04:48:00\nReadings: 0\n");

    const std::string strText =
        FormatSpanStatistics(SpanStatisticsOf(index, {1460.0, 1461.0}, {2.0, 2.5}));
    EXPECT_EQ(strText, "Span: 00:00:00 to 24:00:00\n"
                       "Readings: 2\n"
                       "Min: -1.000 kV/m at 18:00:00\n"
                       "Max: 3.000 kV/m at 12:00:00\n"
                       "Mean: 1.000 kV/m\n"
                       "Standard deviation: 2.000 kV/m\n"
                       "At or above the warning level (2.000 kV/m): 6:00:00 (21600 s)\n"
                       "At or above the alert level (2.500 kV/m): 6:00:00 (21600 s)\n");
    // The potential gradient: the field's highest is its lowest, sizes have no sign.
    const std::string strGradient = FormatSpanStatistics(
        SpanStatisticsOf(index, {1460.0, 1461.0}, {2.0, 0.0}, CFieldUnit{true}));
    EXPECT_EQ(strGradient, "Span: 00:00:00 to 24:00:00\n"
                           "Readings: 2\n"
                           "Min: -3000 V/m at 12:00:00\n"
                           "Max: 1000 V/m at 18:00:00\n"
                           "Mean: -1000 V/m\n"
                           "Standard deviation: 2000 V/m\n"
                           "At or above the warning level (2000 V/m): 6:00:00 (21600 s)\n");
}
