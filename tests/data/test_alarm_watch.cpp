// The alarm while following: raised only after the hold time above the alert level, cleared only
// after the hold time below the warning level.

#include "data/AlarmWatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
// One reading a second from 12:00:00 with the given values.
std::vector<FieldSample> Seconds(std::initializer_list<double> values, int nFrom = 0) {
    std::vector<FieldSample> readings;
    int i = nFrom;
    for (const double d : values) {
        readings.push_back({1460.5 + i++ / 86400.0, d});
    }
    return readings;
}
} // namespace

TEST(AlarmWatch, RaisedAfterTheHoldAndClearedAfterTheHoldBelowTheWarning) {
    CAlarmWatch watch;
    watch.Configure(1.0, 2.0, 3.0);
    // High for 2 s, a dip, then high for 3 s: only the second stretch raises it.
    EXPECT_FALSE(watch.Feed(Seconds({2.5, -2.5, 2.0, 0.5, 2.1, 3, -4})));
    EXPECT_FALSE(watch.InAlarm());
    EXPECT_TRUE(watch.Feed(Seconds({2.2}, 7)));
    EXPECT_TRUE(watch.InAlarm());
    EXPECT_DOUBLE_EQ(watch.Began(), 1460.5 + 4 / 86400.0);
    // Between the levels keeps it; below the warning for less than the hold does too; nan is
    // no reading at all.
    EXPECT_FALSE(watch.Feed(Seconds({1.5, 0.2, 0.1, std::nan(""), 1.2, 0.5, 0.5, 0.5}, 8)));
    EXPECT_TRUE(watch.InAlarm());
    EXPECT_TRUE(watch.Feed(Seconds({0.5}, 16)));
    EXPECT_FALSE(watch.InAlarm());

    // Without an alert level there is no alarm; without a warning level the alert level clears.
    watch.Configure(1.0, 0.0, 0.0);
    EXPECT_FALSE(watch.Feed(Seconds({50, 50})));
    watch.Configure(0.0, 2.0, 0.0);
    EXPECT_TRUE(watch.Feed(Seconds({2})));
    EXPECT_TRUE(watch.Feed(Seconds({1.9}, 1)));
    EXPECT_FALSE(watch.InAlarm());
}
