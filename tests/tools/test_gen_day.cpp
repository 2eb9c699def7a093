// The sample-day generator's command line, run as users run it: help, and options it does not
// know, never write a day.

#include "tests/ui/test_viewer_support.h"

#include <filesystem>

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
