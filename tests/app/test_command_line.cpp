#include "app/CommandLine.h"
#include "app/InfoCommand.h"

#include "data/FieldLoader.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace testing_support;

// ---- Parsing ----------------------------------------------------------------------------------

TEST(CommandLine, ModesAndArguments) {
    struct Case {
        std::vector<std::string> args;
        ECommandMode eMode;
        std::string strFile;
        std::string strOutput;
        std::string strSize = {};
    };
    const Case cases[] = {
        {{}, ECommandMode::View, "", ""},
        {{"day.vks"}, ECommandMode::View, "day.vks", ""},
        {{"--", "-odd name.vks"}, ECommandMode::View, "-odd name.vks", ""},
        {{"-"}, ECommandMode::View, "-", ""},
        {{"--help"}, ECommandMode::Help, "", ""},
        {{"day.vks", "-h"}, ECommandMode::Help, "", ""},
        {{"--version"}, ECommandMode::Version, "", ""},
        {{"--info", "day.vks"}, ECommandMode::Info, "day.vks", ""},
        {{"day.vks", "--info"}, ECommandMode::Info, "day.vks", ""},
        {{"--export", "out.png", "day.vks"}, ECommandMode::Export, "day.vks", "out.png"},
        {{"--export", "out.pdf", "--page", "Letter", "d.vks"},
         ECommandMode::Export,
         "d.vks",
         "out.pdf"},
        {{"--export=out.png", "--size=640x480", "day.vks"},
         ECommandMode::Export,
         "day.vks",
         "out.png",
         "640x480"},
        {{"-info", "day.vks"}, ECommandMode::Info, "day.vks", ""},
        {{"--bogus", "--help"}, ECommandMode::Help, "", ""},
        {{"--export", "o.png", "--info", "d.vks"}, ECommandMode::Info, "d.vks", "o.png"},
        // Paths are bytes: what is not UTF-8 comes back exactly as given.
        {{"caf\xc3\xa9 \xff.vks"}, ECommandMode::View, "caf\xc3\xa9 \xff.vks", ""},
        {{"--export=\xfe.png", "--", "-\xff.vks"}, ECommandMode::Export, "-\xff.vks", "\xfe.png"},
    };
    for (const Case& c : cases) {
        const CCommandLine cmd = ParseCommandLine(c.args);
        EXPECT_EQ(cmd.eMode, c.eMode) << testing::PrintToString(c.args);
        EXPECT_EQ(cmd.strFile, c.strFile) << testing::PrintToString(c.args);
        EXPECT_EQ(cmd.strOutput, c.strOutput) << testing::PrintToString(c.args);
        EXPECT_EQ(cmd.strSize, c.strSize) << testing::PrintToString(c.args);
    }
}

TEST(CommandLine, UsageErrorsSayWhat) {
    struct Case {
        std::vector<std::string> args;
        const char* pszMention;
    };
    const Case cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"a.vks", "b.vks"}, "b.vks"},
        {{"--info"}, "--info"},
        {{"--export"}, "--export"},
        {{"--export", "out.png"}, "--export"},
        {{"--size", "10x10", "a.vks"}, "--size"},
        {{"--export", "o.png", "a.vks", "--size"}, "--size"},
        {{"--export", "o.png", "a.vks", "--page"}, "--page"},
        {{"--size=", "a.vks"}, "--size"},
        {{"--info=a.vks"}, "--info takes no value"},
        {{"-odd name.vks"}, "unknown option: -odd name.vks"},
        {{"--bogus=1", "a.vks"}, "unknown option: --bogus=1"},
        {{"--b\xffgus"}, "unknown option: --b\xffgus"},
        {{"a.vks", "\xff.vks"}, "not also: \xff.vks"},
    };
    for (const Case& c : cases) {
        const CCommandLine cmd = ParseCommandLine(c.args);
        EXPECT_EQ(cmd.eMode, ECommandMode::Error) << testing::PrintToString(c.args);
        EXPECT_NE(cmd.strError.find(c.pszMention), std::string::npos) << cmd.strError;
    }
}

// ---- --info -----------------------------------------------------------------------------------

TEST(InfoCommand, DescribesTheFileAsTheViewerLoadsIt) {
    CTempDir dir;
    const std::string strPath = dir.File("a \"quoted\" day.vks");
    WriteFile(strPath, "00:00:05,-12.5\nbad line that is far too long to be a time\n"
                       "99999999999:00:00,1\n12:30:00,3.25\n");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunInfoCommand(strPath, out, err), 0);
    EXPECT_TRUE(err.str().empty());
    const std::string strJson = out.str();
    const char* expected[] = {
        "\"records\": 3",
        "\"skipped\": 1",
        "\"first_clock\": \"00:00:05\"",
        "\"last_clock\": \"12:30:00\"",
        "\"min\": -12.5",
        "\"max\": 3.25",
        "\"value_range\": [-13, 13]",
        "\"time_range\": [1460, 1461]",
        "a \\\"quoted\\\" day.vks",
        "\"last_time\": 1460.5208333333333",
    };
    for (const char* psz : expected) {
        EXPECT_NE(strJson.find(psz), std::string::npos) << psz << " in " << strJson;
    }
}

TEST(InfoCommand, EmptyFileAndMissingFile) {
    CTempDir dir;
    WriteFile(dir.File("empty.vks"), "");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunInfoCommand(dir.File("empty.vks"), out, err), 0);
    EXPECT_NE(out.str().find("\"records\": 0"), std::string::npos);
    EXPECT_NE(out.str().find("\"first_time\": null"), std::string::npos);
    EXPECT_NE(out.str().find("\"min\": null"), std::string::npos);

    std::ostringstream out2;
    std::ostringstream err2;
    EXPECT_EQ(RunInfoCommand(dir.File("none.vks"), out2, err2), 1);
    EXPECT_TRUE(out2.str().empty());
    EXPECT_EQ(err2.str(), "File not found: " + dir.File("none.vks") + "\n");
}
