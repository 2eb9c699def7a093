// Plot area, ranges and mappings, tick and label choice, and the chart calendar in time labels.

#include "chart/ChartGeometry.h"
#include "chart/ChartTicks.h"
#include "chart/ChartTimeFormat.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A fixed-pitch stand-in for font metrics: 7 pixels a character.
double SevenPerChar(const std::string& str) {
    return 7.0 * static_cast<double>(str.size());
}

std::string Joined(const std::vector<CChartTick>& ticks) {
    std::string str;
    for (const auto& tick : ticks) {
        str += (str.empty() ? "" : " ") + tick.strLabel;
    }
    return str;
}
} // namespace

// ---- plot area, ranges, mappings ----

TEST(ChartGeometry, PlotAreaFromFractions) {
    struct {
        CPlotFractions fractions;
        CChartRect expected;
    } cases[] = {
        {{0.91, 0.04, 0.06, 0.97}, {72, 32, 1164, 728}}, // as set up
        {{0.04, 0.91, 1.5, -0.5}, {0, 32, 1200, 728}},   // swapped, beyond [0, 1]
        {{NaN, NaN, NaN, NaN}, {72, 32, 1164, 728}},     // nan: the defaults
    };
    for (const auto& c : cases) {
        const CChartRect rc = PlotAreaOf({0, 0, 1200, 800}, c.fractions);
        EXPECT_DOUBLE_EQ(rc.dLeft, c.expected.dLeft);
        EXPECT_DOUBLE_EQ(rc.dTop, c.expected.dTop);
        EXPECT_DOUBLE_EQ(rc.dRight, c.expected.dRight);
        EXPECT_DOUBLE_EQ(rc.dBottom, c.expected.dBottom);
    }
}

TEST(ChartGeometry, RangesThatCannotBeDrawnAreMadeDrawable) {
    const CChartRange fallback{-1.0, 1.0};
    const double INF = std::numeric_limits<double>::infinity();
    struct {
        CChartRange in;
        CChartRange out;
    } cases[] = {
        {{1460, 1460}, {1460, 1461}}, // last reading at midnight: one day from the lower bound
        {{5, 3}, {5, 6}},
        {{NaN, 1}, fallback},
        {{0, INF}, fallback},
        {{1e300, 1e300}, fallback},         // adding one changes nothing
        {{1, 1}, fallback},                 // a bound in the fallback: 24:00 shows the day it ends
        {{-1e308, 1e308}, {-1e308, 1e308}}, // the span overflows, yet every reading shows
    };
    for (const auto& c : cases) {
        const CChartRange r = NormaliseRange(c.in, fallback);
        EXPECT_EQ(r.dLower, c.out.dLower) << c.in.dLower << " to " << c.in.dUpper;
        EXPECT_EQ(r.dUpper, c.out.dUpper) << c.in.dLower << " to " << c.in.dUpper;
    }
}

TEST(ChartGeometry, MapsTimeAcrossAndValuesUpward) {
    const CChartGeometry g({100, 50, 1300, 850}, {}, {1460, 1460}, {-10, 10});
    EXPECT_DOUBLE_EQ(g.TimeMap().Map(1460.0), 172.0);
    EXPECT_DOUBLE_EQ(g.TimeMap().Map(1460.5), 718.0);
    EXPECT_DOUBLE_EQ(g.TimeMap().Map(1461.0), 1264.0);
    EXPECT_DOUBLE_EQ(g.ValueMap().Map(-10.0), 778.0);
    EXPECT_DOUBLE_EQ(g.ValueMap().Map(10.0), 82.0);
    EXPECT_DOUBLE_EQ(g.ValueMap().Invert(430.0), 0.0);
    // Values that run down (the potential gradient): the lower bound at the top.
    const CChartGeometry down({100, 50, 1300, 850}, {}, {1460, 1460}, {-10, 10}, true);
    EXPECT_DOUBLE_EQ(down.ValueMap().Map(-10.0), 82.0);
    EXPECT_DOUBLE_EQ(down.ValueMap().Map(10.0), 778.0);
    const CChartScaleMap widest(-1e308, 1e308, 0.0, 100.0);
    EXPECT_DOUBLE_EQ(widest.Map(1e308), 100.0);
    EXPECT_DOUBLE_EQ(widest.Map(0.0), 50.0);
    EXPECT_DOUBLE_EQ(widest.Invert(75.0), 5e307);
    // An empty pixel span maps everything to its one pixel, without dividing by zero.
    const CChartScaleMap flat(1.0, 2.0, 5.0, 5.0);
    EXPECT_DOUBLE_EQ(flat.Map(100.0), 5.0);
    EXPECT_DOUBLE_EQ(flat.Invert(7.0), 1.0);
}

// ---- ticks ----

TEST(ChartTicks, ValueTicksAreOneTwoFiveSteps) {
    struct {
        CChartRange range;
        double dPixels;
        const char* pszLabels;
    } cases[] = {
        {{-11, 11}, 696, "-10 -5 0 5 10"},
        {{-1, 1}, 696, "-1.0 -0.8 -0.6 -0.4 -0.2 0.0 0.2 0.4 0.6 0.8 1.0"},
        {{-3, 2}, 696, "-3.0 -2.5 -2.0 -1.5 -1.0 -0.5 0.0 0.5 1.0 1.5 2.0"},
        {{-10, 10}, 100, "-10 0 10"}, // little room: fewer lines
        {{0, 0.001}, 250, "0.0000 0.0002 0.0004 0.0006 0.0008 0.0010"},
        {{1.0, 1.0}, 696, ""},
        // Tiny and huge scales: short labels with an exponent.
        {{-1e-22, 1e-22}, 250, "-1e-22 -5e-23 0 5e-23 1e-22"},
        {{-1.5e-22, 1.5e-22}, 696, "-1.5e-22 -1e-22 -5e-23 0 5e-23 1e-22 1.5e-22"},
        {{-3e6, 3e6}, 100, "-2e+06 0 2e+06"},
        {{-1e300, 1e300}, 100, "-1e+300 0 1e+300"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Joined(ChooseValueTicks(c.range, c.dPixels, 13.0).ticks), c.pszLabels);
    }
    EXPECT_EQ(FormatTickValue(-0.0001, 2), "0.00"); // never "-0.00"
    // The gradient's labels, in V/m, each at its field value: lowest field first.
    const CValueTicks pg = ChooseShownValueTicks({-3, 2}, CFieldUnit{true}, 696, 13.0);
    EXPECT_EQ(Joined(pg.ticks), "3000 2500 2000 1500 1000 500 0 -500 -1000 -1500 -2000");
    EXPECT_DOUBLE_EQ(pg.ticks.front().dAt, -3.0);
    EXPECT_DOUBLE_EQ(pg.ticks.back().dAt, 2.0);
    // Ranges far from zero or huge still give a handful of lines.
    for (const CChartRange& range :
         {CChartRange{1e20, 1e20 + 1e5}, CChartRange{-1e300, 1e300}, CChartRange{-1e308, 1e308}}) {
        const std::size_t nTicks = ChooseValueTicks(range, 500, 13).ticks.size();
        EXPECT_GE(nTicks, 2u) << range.dUpper;
        EXPECT_LE(nTicks, MAX_TICK_INTERVALS + 1u) << range.dUpper;
    }
}

TEST(ChartTicks, OneDayReadsThreeHourlyToTwentyFour) {
    const CTimeTicks ticks = ChooseTimeTicks({1460, 1461}, 1092, CTimeFormats{}, SevenPerChar);
    EXPECT_EQ(ticks.eUnit, ETimeUnit::Hour);
    EXPECT_EQ(Joined(ticks.ticks), "00:00 03:00 06:00 09:00 12:00 15:00 18:00 21:00 24:00");
    EXPECT_DOUBLE_EQ(ticks.ticks[1].dAt, 1460.125);
}

TEST(ChartTicks, TimeFormatFollowsTheLabelSpacing) {
    CTimeFormats formats; // as set up; weeks is empty and falls back to the days format
    struct {
        CChartRange range;
        double dPixels;
        ETimeUnit eUnit;
        std::string strFirst;
        std::string strLast;
    } cases[] = {
        {{1460.5, 1460.5 + 1.0 / 1440}, 1092, ETimeUnit::Second, "12:00:00", "12:01:00"},
        {{1460.5, 1460.5 + 1.0 / 24}, 1092, ETimeUnit::Minute, "12:00", "13:00"},
        {{1460.5, 1460.5 + 9.0 / 1440}, 1092, ETimeUnit::Minute, "12:00:00", "12:09:00"},
        {{1460, 1461}, 250, ETimeUnit::Hour, "00:00", "24:00"},
        {{1460, 1470}, 1092, ETimeUnit::Day, "01/01/04", "01/11/04"},
        {{1460, 1520}, 1092, ETimeUnit::Week, "01/04/04", "02/29/04"}, // weeks count from day 0
        {{1460, 1460 + 730}, 1092, ETimeUnit::Month, "Jan,04", "Jan,06"},
        {{1460, 1460 + 365 * 50}, 1092, ETimeUnit::Year, "2005", "2050"},
    };
    for (const auto& c : cases) {
        const CTimeTicks ticks = ChooseTimeTicks(c.range, c.dPixels, formats, SevenPerChar);
        ASSERT_GE(ticks.ticks.size(), 2u) << c.strFirst;
        EXPECT_EQ(ticks.eUnit, c.eUnit) << c.strFirst;
        EXPECT_EQ(ticks.ticks.front().strLabel, c.strFirst) << c.strFirst;
        EXPECT_EQ(ticks.ticks.back().strLabel, c.strLast) << c.strFirst;
        // Every label has room: no overlap at the chosen spacing.
        const double dSpacing = c.dPixels * ticks.dStep / c.range.Span();
        for (const auto& tick : ticks.ticks) {
            EXPECT_GE(dSpacing, SevenPerChar(tick.strLabel)) << tick.strLabel;
        }
    }
    EXPECT_TRUE(ChooseTimeTicks({1460, 1461}, 0, formats, SevenPerChar).ticks.empty());
    formats.strWeeks = "week of %d %b";
    EXPECT_EQ(ChooseTimeTicks({1460, 1520}, 1500, formats, SevenPerChar).ticks[0].strLabel,
              "week of 04 Jan");
}

// ---- the chart calendar ----

TEST(ChartTimeFormat, DayNumbersReadOnTheChartCalendar) {
    struct {
        double dDay;
        const char* pszFormat;
        bool bEndOfDay;
        const char* pszExpected;
    } cases[] = {
        {1460.0, "%H:%M:%S %m/%d/%y %b,%y %Y", false, "00:00:00 01/01/04 Jan,04 2004"},
        {1460.3440972222222, "%H:%M:%S", false, "08:15:30"}, // as the loader computes 08:15:30
        {1460.999988425926, "%H:%M:%S", false, "23:59:59"},
        {1460.0 + 31 * 11 + 23, "%d %B %Y, day %j", false, "24 December 2004, day 365"},
        {1825.0, "%Y-%m-%d", false, "2005-01-01"}, // 365-day years: no leap day in 2004
        {1460.0 + 31, "%d/%m", false, "01/02"},    // 31-day months
        {-1.0, "%m/%d/%y", false, "12/24/99"},
        {1461.0, "%m/%d %H:%M", true, "01/01 24:00"},
        {1461.0, "%H:%M", false, "00:00"},
        {1460.25, "%H:%M", true, "06:00"}, // only midnight reads as the end of a day
        {1460.9999999, "%m/%d %H:%M:%S", false, "01/02 00:00:00"}, // rounds into the next day
        {1460.0, "100%% %Q %", false, "100% %Q %"},
        {NaN, "%H", false, ""},
        {1e12, "%Y", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatChartTime(c.dDay, c.pszFormat, c.bEndOfDay), c.pszExpected)
            << c.dDay << " " << c.pszFormat;
    }
}
