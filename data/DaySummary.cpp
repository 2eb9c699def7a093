#include "data/DaySummary.h"

#include "data/AlarmWatch.h"
#include "data/LevelTime.h"

#include <bitset>
#include <cmath>
#include <cstdio>

namespace {
// What an hour gathers while the day is read. The sums are taken about the hour's first value,
// which keeps the variance exact for a field of a few kV/m that barely moves.
struct CHourSums {
    double dShift = 0.0;
    double dSum = 0.0;
    double dSumSquares = 0.0;
    double dMin = 0.0;
    double dMax = 0.0;
    int nValues = 0;

    void Add(double dValue) {
        if (nValues == 0) {
            dShift = dValue;
            dMin = dMax = dValue;
        }
        const double d = dValue - dShift;
        dSum += d;
        dSumSquares += d * d;
        dMin = std::min(dMin, dValue);
        dMax = std::max(dMax, dValue);
        ++nValues;
    }

    void Finish(CHourSummary* pHour) const {
        pHour->nValues = nValues;
        if (nValues == 0) {
            return;
        }
        const double n = nValues;
        pHour->dMean = dShift + dSum / n;
        pHour->dMin = dMin;
        pHour->dMax = dMax;
        if (nValues > 1) {
            const double dSquares = std::max(dSumSquares - dSum * dSum / n, 0.0);
            pHour->dStdDev = std::sqrt(dSquares / (n - 1));
        }
    }
};
} // namespace

int SecondOfDay(double dTime) {
    const double dSecond = std::round((dTime - DAY_START) * DAY_SECONDS);
    if (!(dSecond >= 0.0 && dSecond <= DAY_SECONDS)) {
        return -1;
    }
    return std::min(static_cast<int>(dSecond), DAY_SECONDS - 1);
}

std::string ClockText(double dTime) {
    const double dSeconds = std::round((dTime - DAY_START) * DAY_SECONDS);
    if (!std::isfinite(dSeconds) || std::fabs(dSeconds) > 1e15) {
        return "--:--:--";
    }
    const long long nSeconds = static_cast<long long>(dSeconds);
    const long long nMagnitude = nSeconds < 0 ? -nSeconds : nSeconds;
    char sz[40];
    std::snprintf(sz, sizeof sz, "%s%02lld:%02lld:%02lld", nSeconds < 0 ? "-" : "",
                  nMagnitude / 3600, (nMagnitude / 60) % 60, nMagnitude % 60);
    return sz;
}

CDaySummary SummariseDay(std::span<const FieldSample> records, int nSkipped,
                         const CSummaryLevels& levels) {
    CDaySummary summary;
    summary.nReadings = static_cast<int>(records.size());
    summary.nSkipped = nSkipped;

    std::bitset<DAY_SECONDS> covered;
    std::array<CHourSums, HOURS_PER_DAY> sums{};
    CAlarmWatch alarm;
    alarm.Configure(levels.dWarning, levels.dAlert, levels.nHoldSeconds);
    for (const FieldSample& record : records) {
        const double dValue = record.dValue;
        const bool bFinite = std::isfinite(dValue);
        if (bFinite) {
            if (!summary.bAnyValue || dValue < summary.dMin) {
                summary.dMin = dValue;
                summary.dMinTime = record.dTime;
            }
            if (!summary.bAnyValue || dValue > summary.dMax) {
                summary.dMax = dValue;
                summary.dMaxTime = record.dTime;
            }
            if (!summary.bAnyValue || std::fabs(dValue) > std::fabs(summary.dPeak)) {
                summary.dPeak = dValue;
                summary.dPeakTime = record.dTime;
            }
            summary.bAnyValue = true;
        }
        if (const int nSecond = SecondOfDay(record.dTime); nSecond >= 0) {
            covered.set(static_cast<std::size_t>(nSecond));
            const int nHour = nSecond / SECONDS_PER_HOUR;
            ++summary.hours[static_cast<std::size_t>(nHour)].nReadings;
            if (bFinite) {
                sums[static_cast<std::size_t>(nHour)].Add(dValue);
            }
        }
        // An episode is a rise of the viewer's own alarm, reading by reading.
        if (alarm.Feed(std::span<const FieldSample>(&record, 1)) && alarm.InAlarm()) {
            ++summary.nAlarmEpisodes;
        }
    }

    for (int nHour = 0; nHour < HOURS_PER_DAY; ++nHour) {
        CHourSummary& hour = summary.hours[static_cast<std::size_t>(nHour)];
        sums[static_cast<std::size_t>(nHour)].Finish(&hour);
        int nCovered = 0;
        for (int s = nHour * SECONDS_PER_HOUR; s < (nHour + 1) * SECONDS_PER_HOUR; ++s) {
            nCovered += covered.test(static_cast<std::size_t>(s)) ? 1 : 0;
        }
        hour.nCoveredSeconds = nCovered;
        summary.nCoveredSeconds += nCovered;
    }
    if (levels.dWarning > 0.0) {
        summary.dWarningSeconds =
            SecondsAtOrAboveLevel(records, -HUGE_VAL, HUGE_VAL, levels.dWarning);
    }
    if (levels.dAlert > 0.0) {
        summary.dAlertSeconds = SecondsAtOrAboveLevel(records, -HUGE_VAL, HUGE_VAL, levels.dAlert);
    }
    return summary;
}
