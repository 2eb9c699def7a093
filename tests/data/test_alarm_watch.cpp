// The alarm rule by the readings' clock: the alert rises at the alert level (after the hold), the
// all-clear comes only after the countdown below the warning level, and every reading at or above
// the warning level, or a gap in the readings, starts the countdown again.

#include "data/AlarmWatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
constexpr double DAY = 1460.0;

double At(double dSeconds) {
    return DAY + dSeconds / 86400.0;
}

FieldSample Reading(double dSeconds, double dValue) {
    return {At(dSeconds), dValue};
}

// Seconds between two day numbers, to the millisecond.
double Seconds(double dFrom, double dTo) {
    return std::round((dTo - dFrom) * 86400.0 * 1000.0) / 1000.0;
}
} // namespace

TEST(AlarmWatch, RisesCountsDownRestartsAndClearsByTheReadingsClock) {
    CAlarmWatch watch;
    watch.Configure(2.0, 5.0, 0.0, 60.0); // warning 2, alert 5, no hold, all clear after 60 s
    struct CStep {
        double dSeconds;
        double dValue;
        EAlarmLevel eLevel;
        double dToClear; // seconds of the countdown left after the reading
    };
    const CStep steps[] = {
        {0, 1.0, EAlarmLevel::None, 0},     {10, -2.5, EAlarmLevel::Warning, 60},
        {20, 5.0, EAlarmLevel::Alert, 60},  {30, 1.0, EAlarmLevel::Alert, 50},
        {31, NAN, EAlarmLevel::Alert, 50},  {50, -3.0, EAlarmLevel::Alert, 60},
        {100, 1.9, EAlarmLevel::Alert, 10}, {109, 4.9, EAlarmLevel::Alert, 60},
        {168, 0.5, EAlarmLevel::Alert, 1},  {169, 0.5, EAlarmLevel::None, 0},
        {170, 6.0, EAlarmLevel::Alert, 60},
    };
    for (const CStep& step : steps) {
        SCOPED_TRACE(step.dSeconds);
        const bool bWas = watch.InAlarm();
        const FieldSample reading = Reading(step.dSeconds, step.dValue);
        EXPECT_EQ(watch.Feed({&reading, 1}), bWas != (step.eLevel == EAlarmLevel::Alert));
        EXPECT_EQ(watch.Level(), step.eLevel);
        EXPECT_NEAR(watch.SecondsToClear(), step.dToClear, 1e-3);
    }
    EXPECT_DOUBLE_EQ(watch.Began(), At(170));
    EXPECT_EQ(watch.Episodes(), 2);
    ASSERT_TRUE(watch.LastEpisode().has_value());
    EXPECT_EQ(Seconds(At(0), watch.LastEpisode()->dBegan), 20.0);
    EXPECT_EQ(Seconds(At(0), watch.LastEpisode()->dEnded), 169.0);
}

TEST(AlarmWatch, TheHoldTheGapsAndNoReadingsAtAll) {
    CAlarmWatch watch;
    watch.Configure(1.0, 2.0, 3.0, 60.0);
    // High for 2 s, a dip, then high for 3 s: only the second stretch raises it, from its start.
    std::vector<FieldSample> day;
    for (const double d : {2.5, -2.5, 0.5, 2.1, 3.0, -4.0, 2.2}) {
        day.push_back(Reading(static_cast<double>(day.size()), d));
    }
    EXPECT_TRUE(watch.Feed(day));
    EXPECT_EQ(Seconds(At(0), watch.Began()), 3.0);
    // The logger stops for five minutes; the first reading after the gap starts the countdown.
    const FieldSample afterGap = Reading(306, 0.1);
    EXPECT_FALSE(watch.Feed({&afterGap, 1}));
    EXPECT_NEAR(watch.SecondsToClear(), 60.0, 1e-3);
    // And nothing at all clears nothing.
    EXPECT_FALSE(watch.Feed({}));
    EXPECT_TRUE(watch.InAlarm());

    // Without an alert level there is no alert; without a warning level the alert level counts.
    watch.Configure(1.0, 0.0, 0.0);
    const FieldSample high[] = {Reading(0, 50), Reading(1, 50)};
    EXPECT_FALSE(watch.Feed(high));
    EXPECT_EQ(watch.Level(), EAlarmLevel::Warning);
    watch.Configure(0.0, 2.0, 0.0, 0.0);
    const FieldSample upDown[] = {Reading(0, 2.0), Reading(1, 1.9)};
    EXPECT_FALSE(watch.Feed(upDown)) << "raised and cleared within the readings";
    EXPECT_EQ(watch.Episodes(), 1);
}

TEST(AlarmWatch, AFlashRateRaisesTheAlertAndMidnightKeepsIt) {
    CAlarmRule rule;
    rule.dWarning = 2.0;
    rule.dAlert = 5.0;
    rule.dAllClearSeconds = 600.0;
    rule.nFlashRate = 3;
    CAlarmWatch watch;
    watch.Configure(rule);
    // Three field steps of 1.5 kV/m a minute apart, the field never near the levels.
    std::vector<FieldSample> day;
    for (int nSecond = 0; nSecond < 200; ++nSecond) {
        day.push_back(Reading(nSecond, nSecond >= 10 && (nSecond / 60) % 2 == 0 ? 1.5 : 0.0));
    }
    EXPECT_TRUE(watch.Feed(day));
    EXPECT_EQ(Seconds(At(0), watch.Began()), 10.0) << "since the first flash counted";

    // At midnight the next day's file starts again at 00:00: the alert and its countdown go on.
    watch.Configure(2.0, 5.0, 0.0, 600.0);
    const FieldSample lateHigh = Reading(86400 - 30, 6.0);
    EXPECT_TRUE(watch.Feed({&lateHigh, 1}));
    watch.ShiftDays(-1.0);
    std::vector<FieldSample> nextDay;
    for (int nSecond = 0; nSecond <= 560; nSecond += 20) {
        nextDay.push_back(Reading(nSecond, 0.2));
    }
    EXPECT_FALSE(watch.Feed(nextDay));
    EXPECT_TRUE(watch.InAlarm());
    EXPECT_NEAR(watch.SecondsToClear(), 10.0, 1e-3);
    const FieldSample clear = Reading(570, 0.2);
    EXPECT_TRUE(watch.Feed({&clear, 1}));
}
