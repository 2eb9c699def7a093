#include "chart/SpanStatistics.h"

#include "chart/ChartTimeFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
std::string Clock(double dTime, bool bEndOfDay = false) {
    return FormatChartTime(dTime, "%H:%M:%S", bEndOfDay);
}

std::string Number(double d) {
    char sz[48];
    std::snprintf(sz, sizeof sz, "%.3f", d);
    return sz;
}

std::string Seconds(double dSeconds) {
    const long n = std::lround(dSeconds);
    char sz[48];
    std::snprintf(sz, sizeof sz, "%ld:%02ld:%02ld (%ld s)", n / 3600, (n / 60) % 60, n % 60, n);
    return sz;
}
} // namespace

CSpanStatistics SpanStatisticsOf(const CPointIndex& index, const CChartRange& span,
                                 const CAlarmLevels& levels) {
    CSpanStatistics stats;
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
    if (stats.nFinite > 0) {
        str += "Min: " + Number(stats.dMin) + " kV/m at " + Clock(stats.dMinTime) + "\n";
        str += "Max: " + Number(stats.dMax) + " kV/m at " + Clock(stats.dMaxTime) + "\n";
        str += "Mean: " + Number(stats.dMean) + " kV/m\n";
        str += "Standard deviation: " + Number(stats.dStdDev) + " kV/m\n";
    }
    if (stats.levels.dWarning > 0.0) {
        str += "At or above the warning level (" + Number(stats.levels.dWarning) +
               " kV/m): " + Seconds(stats.dWarningSeconds) + "\n";
    }
    if (stats.levels.dAlert > 0.0) {
        str += "At or above the alert level (" + Number(stats.levels.dAlert) +
               " kV/m): " + Seconds(stats.dAlertSeconds) + "\n";
    }
    return str;
}
