#include "chart/SpanStatistics.h"

#include "chart/ChartTimeFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
std::string Clock(double dTime, bool bEndOfDay = false) {
    return FormatChartTime(dTime, "%H:%M:%S", bEndOfDay);
}

std::string Seconds(double dSeconds) {
    const long n = std::lround(dSeconds);
    char sz[48];
    std::snprintf(sz, sizeof sz, "%ld:%02ld:%02ld (%ld s)", n / 3600, (n / 60) % 60, n % 60, n);
    return sz;
}
} // namespace

CSpanStatistics SpanStatisticsOf(const CPointIndex& index, const CChartRange& span,
                                 const CAlarmLevels& levels, const CFieldUnit& unit) {
    CSpanStatistics stats;
    stats.unit = unit;
    stats.span = span;
    stats.levels = levels;
    const auto points = index.Points();
    const auto [nFirst, nLast] = index.Between(span.dLower, span.dUpper);
    // Welford's running mean and sum of squares: steady for a day of nearly equal readings.
    double dMean = 0.0;
    double dSquares = 0.0;
    for (std::size_t i = nFirst; i < nLast; ++i) {
        const CChartPoint& point = points[i];
        if (!(point.dTime >= span.dLower && point.dTime <= span.dUpper)) {
            continue; // readings out of time order are all scanned
        }
        ++stats.nReadings;
        if (!std::isfinite(point.dValue)) {
            continue;
        }
        ++stats.nFinite;
        if (stats.nFinite == 1 || point.dValue < stats.dMin) {
            stats.dMin = point.dValue;
            stats.dMinTime = point.dTime;
        }
        if (stats.nFinite == 1 || point.dValue > stats.dMax) {
            stats.dMax = point.dValue;
            stats.dMaxTime = point.dTime;
        }
        const double dDelta = point.dValue - dMean;
        dMean += dDelta / static_cast<double>(stats.nFinite);
        dSquares += dDelta * (point.dValue - dMean);
    }
    if (stats.nFinite > 0) {
        stats.dMean = dMean;
        stats.dStdDev = std::sqrt(std::max(0.0, dSquares / static_cast<double>(stats.nFinite)));
    }
    if (levels.dWarning > 0.0) {
        stats.dWarningSeconds = SecondsAtOrAbove(index, span, levels.dWarning);
    }
    if (levels.dAlert > 0.0) {
        stats.dAlertSeconds = SecondsAtOrAbove(index, span, levels.dAlert);
    }
    return stats;
}

std::string FormatSpanStatistics(const CSpanStatistics& stats) {
    std::string str =
        "Span: " + Clock(stats.span.dLower) + " to " + Clock(stats.span.dUpper, true) + "\n";
    str += "Readings: " + std::to_string(stats.nReadings) + "\n";
    const CFieldUnit& unit = stats.unit;
    const std::string strUnit = std::string(" ") + unit.Unit();
    if (stats.nFinite > 0) {
        const CShownExtremes shown =
            ShownExtremes(unit, {stats.dMin, stats.dMinTime}, {stats.dMax, stats.dMaxTime});
        str += "Min: " + unit.FormatWithUnit(shown.low.dValue) + " at " + Clock(shown.low.dTime) +
               "\n";
        str += "Max: " + unit.FormatWithUnit(shown.high.dValue) + " at " + Clock(shown.high.dTime) +
               "\n";
        str += "Mean: " + unit.FormatWithUnit(stats.dMean) + "\n";
        str += "Standard deviation: " + unit.FormatSize(stats.dStdDev) + strUnit + "\n";
    }
    if (stats.levels.dWarning > 0.0) {
        str += "At or above the warning level (" + unit.FormatSize(stats.levels.dWarning) +
               strUnit + "): " + Seconds(stats.dWarningSeconds) + "\n";
    }
    if (stats.levels.dAlert > 0.0) {
        str += "At or above the alert level (" + unit.FormatSize(stats.levels.dAlert) + strUnit +
               "): " + Seconds(stats.dAlertSeconds) + "\n";
    }
    return str;
}
