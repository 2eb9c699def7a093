#include "data/DaySummary.h"

#include "data/AlarmWatch.h"
#include "data/LevelTime.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {
// What an hour gathers while the day is read. The sums are taken about the hour's first value,
// which keeps the variance exact for a field of a few kV/m that barely moves.
struct CHourSums {
    int nReadings = 0;
    int nCovered = 0;
    int nValues = 0;
    double dShift = 0.0;
    double dSum = 0.0;
    double dSumSquares = 0.0;
    double dMin = 0.0;
    double dMax = 0.0;

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
        pHour->nReadings = nReadings;
        pHour->nCoveredSeconds = nCovered;
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

// The day's extremes as they are found: the first reading of each.
struct CExtremes {
    bool bAny = false;
    double dMin = 0.0;
    double dMinTime = 0.0;
    double dMax = 0.0;
    double dMaxTime = 0.0;
    double dPeak = 0.0;
    double dPeakMagnitude = 0.0;
    double dPeakTime = 0.0;

    void Add(double dValue, double dTime) {
        const double dMagnitude = std::fabs(dValue);
        if (!bAny) {
            *this = {true, dValue, dTime, dValue, dTime, dValue, dMagnitude, dTime};
            return;
        }
        if (dValue < dMin) {
            dMin = dValue;
            dMinTime = dTime;
        }
        if (dValue > dMax) {
            dMax = dValue;
            dMaxTime = dTime;
        }
        if (dMagnitude > dPeakMagnitude) {
            dPeak = dValue;
            dPeakMagnitude = dMagnitude;
            dPeakTime = dTime;
        }
    }
};
} // namespace

int SecondOfDay(double dTime) {
    // Rounded half up by hand: a call to round for each of a day's readings shows in a year.
    const double dSecond = (dTime - DAY_START) * DAY_SECONDS + 0.5;
    if (!(dSecond >= 0.0 && dSecond < DAY_SECONDS + 1.0)) {
        return -1;
    }
    return std::min(static_cast<int>(dSecond), DAY_SECONDS - 1);
}

std::string DurationText(double dSeconds) {
    const long n = std::lround(dSeconds);
    char sz[48];
    if (n >= 3600) {
        std::snprintf(sz, sizeof sz, "%ld h %02ld min", n / 3600, (n / 60) % 60);
    } else if (n >= 60) {
        std::snprintf(sz, sizeof sz, "%ld min %02ld s", n / 60, n % 60);
    } else {
        std::snprintf(sz, sizeof sz, "%ld s", n);
    }
    return sz;
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

    // The state of the loop lives in locals, the hour being read apart from the others, so that
    // a reading costs registers rather than trips through memory.
    std::vector<unsigned char> covered(DAY_SECONDS, 0);
    std::array<CHourSums, HOURS_PER_DAY> hours{};
    std::size_t nHourNow = 0;
    CHourSums now;
    CExtremes extremes;
    CAlarmWatch alarm;
    alarm.Configure(levels.Rule());
    for (const FieldSample& record : records) {
        const double dValue = record.dValue;
        const bool bFinite = std::isfinite(dValue);
        if (bFinite) {
            extremes.Add(dValue, record.dTime);
        }
        if (const int nSecond = SecondOfDay(record.dTime); nSecond >= 0) {
            const auto nHour = static_cast<std::size_t>(nSecond / SECONDS_PER_HOUR);
            if (nHour != nHourNow) {
                hours[nHourNow] = now;
                now = hours[nHour];
                nHourNow = nHour;
            }
            ++now.nReadings;
            unsigned char& cSeen = covered[static_cast<std::size_t>(nSecond)];
            now.nCovered += cSeen == 0 ? 1 : 0;
            cSeen = 1;
            if (bFinite) {
                now.Add(dValue);
            }
        }
    }
    hours[nHourNow] = now;
    // An episode is a rise of the viewer's own alarm, fed the day as it was logged.
    (void)alarm.Feed(records);

    for (std::size_t nHour = 0; nHour < HOURS_PER_DAY; ++nHour) {
        hours[nHour].Finish(&summary.hours[nHour]);
        summary.nCoveredSeconds += hours[nHour].nCovered;
    }
    summary.bAnyValue = extremes.bAny;
    summary.dMin = extremes.dMin;
    summary.dMinTime = extremes.dMinTime;
    summary.dMax = extremes.dMax;
    summary.dMaxTime = extremes.dMaxTime;
    summary.dPeak = extremes.dPeak;
    summary.dPeakTime = extremes.dPeakTime;
    summary.nAlarmEpisodes = alarm.Episodes();
    if (levels.dWarning > 0.0) {
        summary.dWarningSeconds =
            SecondsAtOrAboveLevel(records, -HUGE_VAL, HUGE_VAL, levels.dWarning);
    }
    if (levels.dAlert > 0.0) {
        summary.dAlertSeconds = SecondsAtOrAboveLevel(records, -HUGE_VAL, HUGE_VAL, levels.dAlert);
    }
    return summary;
}
