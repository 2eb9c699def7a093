#include "data/ChartTime.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <ctime>

using testing_support::CScopedTimeZone;

namespace {
#ifdef _WIN32
// The C runtime there knows no tzdata names: the zone is the system's, the one Wine gives it.
constexpr const char* WORKED_ZONE = "";
#else
constexpr const char* WORKED_ZONE = "Europe/Berlin";
#endif

std::time_t LocalTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond) {
    std::tm tm{};
    tm.tm_year = nYear - 1900;
    tm.tm_mon = nMonth - 1;
    tm.tm_mday = nDay;
    tm.tm_hour = nHour;
    tm.tm_min = nMinute;
    tm.tm_sec = nSecond;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

// What the loader must reproduce: mktime of 1 January 2004 with the fields, then the day number.
double Reference(int nHour, int nMinute, int nSecond) {
    return ChartTimeFromTime(LocalTime(2004, 1, 1, nHour, nMinute, nSecond));
}
} // namespace

// ---- ChartTimeFromTime: the worked values --------------------------------------------------

TEST(ChartTime, WorkedValuesAreExact) {
    CScopedTimeZone zone(WORKED_ZONE);
    struct Case {
        int y, mo, d, h, mi, s;
        double dExpected;
    };
    const Case cases[] = {
        {2000, 1, 1, 0, 0, 0, 0.0},
        {2004, 1, 1, 0, 0, 0, 1460.0},
        {2004, 1, 1, 8, 15, 30, 1460.3440972222222},
        {2004, 1, 1, 12, 0, 0, 1460.5},
        {2004, 1, 1, 23, 59, 59, 1460.999988425926},
        {2004, 1, 2, 0, 0, 0, 1461.0},
        {2003, 12, 31, 23, 0, 0, 1466.9583333333333},
        {2003, 12, 31, 23, 59, 59, 1466.999988425926},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChartTimeFromTime(LocalTime(c.y, c.mo, c.d, c.h, c.mi, c.s)), c.dExpected)
            << c.y << "-" << c.mo << "-" << c.d << " " << c.h << ":" << c.mi << ":" << c.s;
    }
}

TEST(ChartTime, NewYearGoesBackwardsBySevenDaysLessASecond) {
    const double dBefore = ChartTimeFromFields(2003, 12, 31, 23, 59, 59);
    const double dAfter = ChartTimeFromFields(2004, 1, 1, 0, 0, 0);
    EXPECT_EQ(dAfter, 1460.0);
    EXPECT_GT(dBefore, dAfter);
}

TEST(ChartTime, DecimalConstantsNotExactFractions) {
    // One minute is the decimal constant, slightly less than 1/1440.
    EXPECT_EQ(ChartTimeFromFields(2000, 1, 1, 0, 1, 0), 0.00069444444444444);
    EXPECT_EQ(ChartTimeFromFields(2000, 1, 1, 0, 0, 1), 0.00001157407407407);
}

// ---- CDayClock: exactly mktime + localtime, in every zone ----------------------------------

class DayClockZones : public ::testing::TestWithParam<const char*> {};

TEST_P(DayClockZones, EverySecondOfTheDayMatchesMktime) {
    CScopedTimeZone zone(GetParam());
    CDayClock clock;
    clock.Prepare();
    // Every second is too slow with a real mktime per second; every 7th second and the edges
    // cover each hour, minute and second value.
    for (int nWall = 0; nWall <= 86400; nWall += 7) {
        const int h = nWall / 3600;
        const int m = (nWall / 60) % 60;
        const int s = nWall % 60;
        double dTime = 0.0;
        ASSERT_TRUE(clock.ChartTimeOf(h, m, s, &dTime));
        ASSERT_EQ(dTime, Reference(h, m, s)) << GetParam() << " " << h << ":" << m << ":" << s;
    }
}

TEST_P(DayClockZones, OutOfRangeFieldsNormaliseAsMktime) {
    CScopedTimeZone zone(GetParam());
    CDayClock clock;
    clock.Prepare();
    const int fields[][3] = {{24, 0, 0},   {10, 75, 0},  {99, 99, 99}, {-1, 0, 0},  {0, 0, -1},
                             {23, 59, 60}, {0, 1440, 0}, {-48, 0, 5},  {1000, 0, 0}};
    for (const auto& f : fields) {
        double dTime = 0.0;
        ASSERT_TRUE(clock.ChartTimeOf(f[0], f[1], f[2], &dTime));
        EXPECT_EQ(dTime, Reference(f[0], f[1], f[2]))
            << GetParam() << " " << f[0] << ":" << f[1] << ":" << f[2];
    }
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(SystemZone, DayClockZones, ::testing::Values(""));
#else
INSTANTIATE_TEST_SUITE_P(Zones, DayClockZones,
                         ::testing::Values("UTC", "Europe/Berlin", "America/New_York",
                                           "Australia/Sydney", "Australia/Lord_Howe",
                                           "America/Sao_Paulo", "Asia/Kolkata", "Pacific/Chatham",
                                           "Etc/GMT+12"));
#endif

TEST(DayClock, WorkedLoaderValues) {
    CScopedTimeZone zone("UTC");
    CDayClock clock;
    clock.Prepare();
    EXPECT_TRUE(clock.IsFast());
    double dTime = 0.0;
    ASSERT_TRUE(clock.ChartTimeOf(24, 0, 0, &dTime));
    EXPECT_EQ(dTime, 1461.0);
    ASSERT_TRUE(clock.ChartTimeOf(10, 75, 0, &dTime));
    EXPECT_EQ(dTime, ChartTimeFromFields(2004, 1, 1, 11, 15, 0));
    ASSERT_TRUE(clock.ChartTimeOf(8, 15, 30, &dTime));
    EXPECT_EQ(dTime, 1460.3440972222222);
}

TEST(DayClock, UnrepresentableTimeIsRefused) {
    CScopedTimeZone zone("UTC");
    CDayClock clock;
    clock.Prepare();
    double dTime = -7.0;
    // INT_MAX hours is about 245,000 years ahead: still representable with a 64-bit time_t, so
    // the result must then match mktime; what cannot be represented must be refused, not wrap.
    const bool bOk = clock.ChartTimeOf(2147483647, 2147483647, 2147483647, &dTime);
    if (bOk) {
        EXPECT_EQ(dTime, Reference(2147483647, 2147483647, 2147483647));
    } else {
        EXPECT_EQ(dTime, -7.0);
    }
}
