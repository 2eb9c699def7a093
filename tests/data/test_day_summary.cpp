// A day's summary against a brute-force count of the lines that were written, and at the day's
// edges: gaps, two readings in a second, skipped lines, 24:00:00, an empty file, no numbers.

#include "data/DaySummary.h"

#include "data/FieldLoader.h"
#include "tests/TestSupport.h"
#include "tests/doc/ArchiveTestDays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace archive_tests;
using testing_support::CTempDir;

namespace {
std::string Clock(int nSecond) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "%02d:%02d:%02d", nSecond / 3600, (nSecond / 60) % 60,
                  nSecond % 60);
    return sz;
}

struct CSummaryTest : ::testing::Test {
    CTempDir dir;
    std::vector<FieldSample> samples = std::vector<FieldSample>(MAX_FIELD_SAMPLES);

    CDaySummary Summarise(const std::string& strText, const CSummaryLevels& levels = {}) {
        const std::string strPath = dir.File("day.vks");
        testing_support::WriteFile(strPath, strText);
        const CFieldRead read = ReadFieldFile(strPath, samples);
        EXPECT_TRUE(read.Opened());
        return SummariseDay(read.records, read.summary.nSkipped, levels);
    }
};
} // namespace

TEST_F(CSummaryTest, MatchesABruteForceCountOfGeneratedDays) {
    const CSummaryLevels levels{2.0, 5.0, 10};
    for (const unsigned nSeed : {1U, 2U, 3U}) {
        SCOPED_TRACE(nSeed);
        const std::vector<CTestLine> lines = MakeDay(nSeed, 1 + static_cast<int>(nSeed) * 3);
        const CBruteDay expected = BruteForce(lines, levels.dWarning, levels.dAlert);
        const CDaySummary day = Summarise(TextOf(lines), levels);

        EXPECT_EQ(day.nReadings, expected.nReadings);
        EXPECT_EQ(day.nSkipped, expected.nSkipped);
        EXPECT_GT(expected.nSkipped, 0);
        EXPECT_EQ(day.nCoveredSeconds, expected.nCovered);
        EXPECT_LT(day.Coverage(), 0.95); // the gaps show
        ASSERT_TRUE(day.bAnyValue);
        EXPECT_EQ(day.dMin, expected.dMin);
        EXPECT_EQ(ClockText(day.dMinTime), Clock(expected.nMinSecond));
        EXPECT_EQ(day.dMax, expected.dMax);
        EXPECT_EQ(ClockText(day.dMaxTime), Clock(expected.nMaxSecond));
        EXPECT_EQ(day.dPeak, expected.dPeak);
        EXPECT_EQ(ClockText(day.dPeakTime), Clock(expected.nPeakSecond));
        EXPECT_NEAR(day.dWarningSeconds, expected.dSecondsAt[0], 1e-6);
        EXPECT_NEAR(day.dAlertSeconds, expected.dSecondsAt[1], 1e-6);
        EXPECT_GT(day.dAlertSeconds, 0.0);
        for (int h = 0; h < HOURS_PER_DAY; ++h) {
            SCOPED_TRACE(h);
            const CHourSummary& hour = day.hours[static_cast<std::size_t>(h)];
            const CBruteDay::CHour& want = expected.hours[h];
            EXPECT_EQ(hour.nReadings, want.nReadings);
            EXPECT_EQ(hour.nCoveredSeconds, want.nCovered);
            EXPECT_EQ(hour.nValues, static_cast<int>(want.values.size()));
            if (want.values.size() > 1) {
                EXPECT_NEAR(hour.dMean, want.Mean(), 1e-12);
                EXPECT_NEAR(hour.dStdDev, want.StdDev(), 1e-9);
                EXPECT_EQ(hour.dMin, *std::min_element(want.values.begin(), want.values.end()));
                EXPECT_EQ(hour.dMax, *std::max_element(want.values.begin(), want.values.end()));
            }
        }
    }
}

TEST_F(CSummaryTest, TheDaysEdges) {
    // 24:00:00 closes the day: its last second and hour, and a clock of 24:00:00.
    CDaySummary day = Summarise("23:59:59,1.0\n24:00:00,3.5\n");
    EXPECT_EQ(day.nReadings, 2);
    EXPECT_EQ(day.nCoveredSeconds, 1);
    EXPECT_EQ(day.hours[23].nReadings, 2);
    EXPECT_EQ(day.hours[23].nCoveredSeconds, 1);
    EXPECT_DOUBLE_EQ(day.hours[23].dMean, 2.25);
    EXPECT_EQ(ClockText(day.dMaxTime), "24:00:00");

    // An empty file: nothing at all, and no extremes to speak of.
    day = Summarise("");
    EXPECT_EQ(day, CDaySummary{});

    // Skipped lines only; then a reading that is no number, and one outside the day.
    day = Summarise("99999999999:00:00,1\n99999999999:00:00,2\n");
    EXPECT_EQ(day.nReadings, 0);
    EXPECT_EQ(day.nSkipped, 2);
    day = Summarise("10:00:00,nan\n10:00:01,-2.5\n25:10:00,7\n", {1.0, 0.0, 10});
    EXPECT_EQ(day.nReadings, 3);
    EXPECT_EQ(day.nCoveredSeconds, 2);
    EXPECT_EQ(day.hours[10].nReadings, 2);
    EXPECT_EQ(day.hours[10].nValues, 1);
    EXPECT_EQ(day.hours[1].nReadings, 0);
    EXPECT_EQ(day.dPeak, 7.0);
    EXPECT_EQ(ClockText(day.dPeakTime), "25:10:00");
    EXPECT_EQ(day.dMin, -2.5);
    // nan holds one second below nothing; -2.5 holds from 10:00:01 to 25:10:00.
    EXPECT_NEAR(day.dWarningSeconds, 15 * 3600 + 9 * 60 + 59, 1e-6);
}

TEST_F(CSummaryTest, AlarmEpisodesAreRisesOfTheViewersAlarm) {
    // Two storms of ten minutes far above the alert level, an hour of calm between, and a spike
    // shorter than any hold time.
    std::string str;
    for (int s = 0; s < 4 * 3600; ++s) {
        const bool bStorm = (s >= 3600 && s < 4200) || (s >= 7800 && s < 8400);
        char sz[32];
        std::snprintf(sz, sizeof sz, "%s,%s\n", Clock(s).c_str(),
                      bStorm ? "-20.0" : (s == 12000 ? "30.0" : "0.2"));
        str += sz;
    }
    EXPECT_EQ(Summarise(str, {2.0, 5.0, 10}).nAlarmEpisodes, 2);
    EXPECT_EQ(Summarise(str, {2.0, 0.0, 10}).nAlarmEpisodes, 0);  // no alert level, no alarm
    EXPECT_EQ(Summarise(str, {2.0, 25.0, 10}).nAlarmEpisodes, 0); // the spike alone
}
