// The sample-day generator's command line, run as users run it: help, and options it does not
// know, never write a day; the flashes it puts into its storm are the ones found.

#include "data/FieldLoader.h"
#include "data/Flashes.h"
#include "settings/ViewOptions.h"
#include "tests/ui/test_viewer_support.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace viewer_tests;
namespace fs = std::filesystem;

TEST(GenDay, HelpAndUnknownOptionsWriteNoDay) {
    const CTempDir dir;
    const std::string strProgram = Quoted(testing_support::BinaryDir() + "/quillon_gen_day");
    const std::string strIn = "cd " + Quoted(dir.Path()) + " && " + strProgram + " ";
    struct CCase {
        const char* pszArgs;
        int nExit;
    };
    const CCase cases[] = {
        {"--help", 0},          {"day.vks -h", 0}, {"--bogus day.vks", 2}, {"day.vks -x", 2},
        {"day.vks 7 --crl", 2}, {"day.vks 7e", 2}, {"day.vks 7 8", 2},     {"", 2},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszArgs);
        const CCommandResult result = RunCommand(strIn + c.pszArgs);
        EXPECT_EQ(result.nExit, c.nExit) << result.strErr;
        EXPECT_NE((c.nExit == 0 ? result.strOut : result.strErr).find("usage:"), std::string::npos);
        EXPECT_TRUE(fs::is_empty(dir.Path())) << "a day was written";
    }
    const CCommandResult written = RunCommand(strIn + "day.vks 7 --crlf");
    EXPECT_EQ(written.nExit, 0) << written.strErr;
    EXPECT_GT(fs::file_size(dir.File("day.vks")), 0u);
}

// Flashes put into the storm at known times are each found within a second, and the storm without
// flashes gives at most two false marks an hour at the default step level.
TEST(GenDay, InjectedFlashesAreFoundAndTheQuietStormGivesFewMarks) {
    const CTempDir dir;
    const std::string strProgram = Quoted(testing_support::BinaryDir() + "/quillon_gen_day");
    std::vector<FieldSample> samples(MAX_FIELD_SAMPLES);
    for (const unsigned nSeed : {7u, 20040101u}) {
        SCOPED_TRACE(nSeed);
        const CCommandResult made = RunCommand(strProgram + " " + Quoted(dir.File("f.vks")) + " " +
                                               std::to_string(nSeed) + " --flashes 25");
        ASSERT_EQ(made.nExit, 0) << made.strErr;
        std::vector<double> injected;
        std::istringstream lines(made.strOut);
        std::string strWord;
        std::string strClock;
        double dStep = 0.0;
        while (lines >> strWord >> strClock >> dStep) {
            const int nSecond = std::stoi(strClock.substr(0, 2)) * 3600 +
                                std::stoi(strClock.substr(3, 2)) * 60 +
                                std::stoi(strClock.substr(6));
            injected.push_back(nSecond);
        }
        ASSERT_EQ(injected.size(), 25u) << made.strOut;
        const CFieldRead day = ReadFieldFile(dir.File("f.vks"), samples);
        const std::vector<CFlash> found = FindFlashes(day.records);
        EXPECT_EQ(found.size(), injected.size());
        for (const double dSecond : injected) {
            EXPECT_TRUE(std::any_of(found.begin(), found.end(),
                                    [&](const CFlash& flash) {
                                        return std::fabs((flash.dTime - day.records.front().dTime) *
                                                             86400.0 -
                                                         dSecond) <= 1.0 + 1e-6;
                                    }))
                << "no mark within a second of " << dSecond;
        }

        const CCommandResult quiet = RunCommand(strProgram + " " + Quoted(dir.File("q.vks")) + " " +
                                                std::to_string(nSeed) + " --flashes 0");
        ASSERT_EQ(quiet.nExit, 0) << quiet.strErr;
        const CFieldRead storm = ReadFieldFile(dir.File("q.vks"), samples);
        constexpr double STORM_HOURS = 3.5; // 14:00 to 17:30
        EXPECT_LE(static_cast<double>(FindFlashes(storm.records).size()), 2 * STORM_HOURS);
    }
    // --info counts them by the same detection, and the alerts by the viewer's rule.
    CViewOptions options;
    options.Load();
    options.m_dWarningLevel = 2.0;
    options.m_dAlertLevel = 5.0;
    ASSERT_TRUE(options.Save().Ok());
    const CCommandResult info =
        RunCommand(Quoted(ProgramPath()) + " --info " + Quoted(dir.File("f.vks")));
    EXPECT_NE(info.strOut.find("\"flashes\":25"), std::string::npos) << info.strOut;
    CAlarmWatch watch;
    watch.Configure(AlarmRuleOf(options));
    (void)watch.Feed(ReadFieldFile(dir.File("f.vks"), samples).records);
    ASSERT_GT(watch.Episodes(), 0);
    EXPECT_NE(info.strOut.find("\"alarm_episodes\":" + std::to_string(watch.Episodes())),
              std::string::npos)
        << info.strOut;
}
