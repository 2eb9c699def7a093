#pragma once
// How long the field stayed at or above a level: the one rule for the status line's time above
// each alarm level in view, --info's seconds_at_or_above and a day's summary, so that all three
// agree to the second. Each reading holds until the next one (the last holds no time); a span may
// start or end between readings.
//
// Points are any type with dTime (a day number) and dValue (kV/m) members, in the order they were
// read: the day's records and the chart's points alike.

#include <algorithm>
#include <cmath>
#include <span>

constexpr double LEVEL_SECONDS_PER_DAY = 86400.0;

// Seconds within [dFrom, dTo] (day numbers) during which |E| was at or above dLevel. Points out
// of time order count only where a reading is followed by a later one.
template <class TPoint>
[[nodiscard]] double SecondsAtOrAboveLevel(std::span<const TPoint> points, double dFrom, double dTo,
                                           double dLevel) {
    double dDays = 0.0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        if (!(std::fabs(points[i].dValue) >= dLevel)) {
            continue;
        }
        const double dStart = std::max(points[i].dTime, dFrom);
        const double dEnd = std::min(points[i + 1].dTime, dTo);
        if (dEnd > dStart) {
            dDays += dEnd - dStart;
        }
    }
    return dDays * LEVEL_SECONDS_PER_DAY;
}
