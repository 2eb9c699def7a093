// Flashes seen as field steps: a step of the step level between readings at most a second apart
// is one flash; a slow swing, a gap, or a flash's own recovery is not another. Reading a followed
// day on gives the flashes of reading it whole.

#include "data/Flashes.h"
#include "data/NextDayFile.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

namespace {
FieldSample Reading(double dSeconds, double dValue) {
    return {1460.0 + dSeconds / 86400.0, dValue};
}
} // namespace

TEST(Flashes, StepsAreMarkedOnceAndSwingsGapsAndRecoveriesAreNot) {
    // A swing of 0.9 kV/m a second; a flash that turns the polarity (10 s) and its recovery of
    // 1.2 kV/m a second; a step across a 3-s gap; a flash of exactly the step level with a NaN
    // between its two readings (30 s).
    std::vector<FieldSample> day;
    for (int nSecond = 0; nSecond < 10; ++nSecond) {
        day.push_back(Reading(nSecond, 0.9 * (nSecond + 1)));
    }
    for (const auto& [dSeconds, dValue] : std::vector<std::pair<double, double>>{{10, -2.0},
                                                                                 {11, -0.8},
                                                                                 {12, 0.4},
                                                                                 {25, 0.4},
                                                                                 {28, 5.4},
                                                                                 {29, 5.4},
                                                                                 {29, NAN},
                                                                                 {30, 6.4},
                                                                                 {40, 6.4}}) {
        day.push_back(Reading(dSeconds, dValue));
    }
    const std::vector<CFlash> flashes = FindFlashes(day, DEFAULT_FLASH_STEP);
    ASSERT_EQ(flashes.size(), 2u);
    EXPECT_NEAR((flashes[0].dTime - 1460.0) * 86400.0, 10.0, 1e-3);
    EXPECT_NEAR(flashes[0].dStep, -11.0, 1e-9);
    EXPECT_NEAR((flashes[1].dTime - 1460.0) * 86400.0, 30.0, 1e-3);
    EXPECT_EQ(FlashesWithin(flashes, Reading(30, 0).dTime, 20.0), 1u);
    EXPECT_EQ(FlashesWithin(flashes, Reading(30, 0).dTime, 21.0), 2u);
    EXPECT_TRUE(FindFlashes(day, 20.0).empty()) << "a higher step level";

    // The day read on in pieces, the last reading of a piece replaced by the next (an unfinished
    // line completed): the same flashes.
    std::vector<CFlash> pieces;
    std::size_t nFirst = 0;
    for (std::size_t nEnd = 1; nEnd <= day.size(); nEnd += 3) {
        FindFlashesFrom(std::span(day).first(nEnd), nFirst, DEFAULT_FLASH_STEP, pieces);
        nFirst = nEnd - 1;
    }
    FindFlashesFrom(day, nFirst, DEFAULT_FLASH_STEP, pieces);
    ASSERT_EQ(pieces.size(), flashes.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].nIndex, flashes[i].nIndex);
    }
}

TEST(NextDayFile, OnlyALaterDateInTheSameNamingPattern) {
    testing_support::CTempDir dir;
    const std::string strMid = dir.File("mid");
    std::filesystem::create_directory(strMid);
    for (const char* psz :
         {"20261208.vks", "storm-example.vks", "zz-notes.vks", "2026-12-10.vks", "x20261211.vks",
          "20261209.vks.bak", "20261207.vks", "20261210.VKS", "20261299.vks"}) {
        testing_support::WriteFile(strMid + "/" + psz, "");
    }
    EXPECT_EQ(NextDayFile(strMid + "/20261208.vks"), strMid + "/20261210.VKS");
    EXPECT_EQ(NextDayFile(strMid + "/20261210.VKS"), "") << "never back in time";
    EXPECT_EQ(NextDayFile(strMid + "/storm-example.vks"), "") << "an undated file has no next";
    // Each pattern its own: dashes, and a prefix.
    EXPECT_EQ(NextDayFile(strMid + "/2026-12-01.vks"), strMid + "/2026-12-10.vks");
    EXPECT_EQ(NextDayFile(strMid + "/X20261208.vks"), strMid + "/x20261211.vks");
}
