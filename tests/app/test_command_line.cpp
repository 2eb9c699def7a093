#include "app/CommandLine.h"
#include "app/InfoCommand.h"

#include "data/FieldLoader.h"
#include "tests/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

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
        {{"--from", "14:00", "a.vks"}, "go with --export"},
        {{"--export", "o.png", "--from", "14:60", "a.vks"}, "bad time '14:60'"},
        {{"--export", "o.png", "--to", "24:00:01", "a.vks"}, "bad time"},
        {{"--export", "o.png", "--from", "2:00", "a.vks"}, "bad time"},
        {{"--export", "o.png", "--from", "15:00", "--to", "14:00", "a.vks"}, "before --to"},
        {{"--export", "o.png", "--from", "24:00", "a.vks"}, "--from must come before 24:00"},
        {{"--export", "o.png", "--to", "00:00", "a.vks"}, "--to must come after 00:00"},
        {{"--export", "o.png", "--no-alarms=1", "a.vks"}, "--no-alarms takes no value"},
    };
    for (const Case& c : cases) {
        const CCommandLine cmd = ParseCommandLine(c.args);
        EXPECT_EQ(cmd.eMode, ECommandMode::Error) << testing::PrintToString(c.args);
        EXPECT_NE(cmd.strError.find(c.pszMention), std::string::npos) << cmd.strError;
    }
}

TEST(CommandLine, ASpanOfTheDayAndNoAlarms) {
    const CCommandLine cmd = ParseCommandLine(
        {"--export", "o.png", "--from", "14:00", "--to=17:30:15", "--no-alarms", "a.vks"});
    ASSERT_EQ(cmd.eMode, ECommandMode::Export) << cmd.strError;
    EXPECT_EQ(cmd.nFromSeconds, 14 * 3600);
    EXPECT_EQ(cmd.nToSeconds, 17 * 3600 + 30 * 60 + 15);
    EXPECT_TRUE(cmd.bNoAlarms);
    EXPECT_EQ(ParseCommandLine({"--export", "o.png", "--to", "24:00", "a.vks"}).nToSeconds, 86400);
}

// ---- --info -----------------------------------------------------------------------------------

namespace {
// The JSON object --info printed, parsed back; null when it is not one valid object.
QJsonObject ParsedInfo(const std::string& strOut) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(strOut), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << strOut;
    return doc.object();
}
} // namespace

TEST(InfoCommand, DescribesTheFileAsTheViewerLoadsIt) {
    CTempDir dir;
    const std::string strPath = dir.File("a \"quoted\" day.vks");
    WriteFile(strPath, "00:00:05,-12.5\nbad line that is far too long to be a time\n"
                       "99999999999:00:00,1\n12:30:00,3.25\n");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunInfoCommand(strPath, out, err), 0);
    EXPECT_TRUE(err.str().empty());
    const std::string strOut = out.str();
    EXPECT_EQ(std::count(strOut.begin(), strOut.end(), '\n'), 1) << "one line";
    const QJsonObject json = ParsedInfo(strOut);
    EXPECT_EQ(json["path"].toString().toStdString(), strPath);
    EXPECT_EQ(json["records"].toInt(), 3);
    EXPECT_EQ(json["skipped"].toInt(), 1);
    EXPECT_EQ(json["first_clock"].toString(), "00:00:05");
    EXPECT_EQ(json["last_clock"].toString(), "12:30:00");
    EXPECT_EQ(json["min"].toDouble(), -12.5);
    EXPECT_EQ(json["max"].toDouble(), 3.25);
    EXPECT_EQ(json["value_range"].toArray(), (QJsonArray{-13, 13}));
    EXPECT_EQ(json["time_range"].toArray(), (QJsonArray{1460, 1461}));
    EXPECT_EQ(json["last_time"].toDouble(), 1460.5208333333333);
}

TEST(InfoCommand, EmptyMissingUnreadableAndOddlyNamedFiles) {
    CTempDir dir;
    WriteFile(dir.File("empty.vks"), "");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunInfoCommand(dir.File("empty.vks"), out, err), 0);
    const QJsonObject json = ParsedInfo(out.str());
    EXPECT_EQ(json["records"].toInt(-1), 0);
    EXPECT_TRUE(json["first_time"].isNull());
    EXPECT_TRUE(json["min"].isNull());

    // A name that is not UTF-8 still gives valid JSON.
    const std::string strOdd = dir.File("day\xff\xfe.vks");
    WriteFile(strOdd, "12:00:00,1\n");
    std::ostringstream outOdd;
    ASSERT_EQ(RunInfoCommand(strOdd, outOdd, err), 0);
    EXPECT_EQ(ParsedInfo(outOdd.str())["path"].toString(),
              QString::fromStdString(dir.File("day\uFFFD\uFFFD.vks")));

    struct {
        std::string strPath;
        std::string strError;
    } failures[] = {
        {dir.File("none.vks"), "File not found: " + dir.File("none.vks") + "\n"},
        {"/dev/null", "Not a regular file: /dev/null\n"},
        // A regular file whose read fails: nothing may pass for an empty day.
        {"/proc/self/mem", "Read error: /proc/self/mem: Input/output error\n"},
    };
    for (const auto& f : failures) {
        std::ostringstream outFail;
        std::ostringstream errFail;
        EXPECT_EQ(RunInfoCommand(f.strPath, outFail, errFail), 1) << f.strPath;
        EXPECT_TRUE(outFail.str().empty());
        EXPECT_EQ(errFail.str(), f.strError);
    }
}

TEST(InfoCommand, TimeAtOrAboveEachLevelThatIsSet) {
    CTempDir dir;
    WriteFile(dir.File("d.vks"), "12:00:00,0.5\n12:00:10,-3\n12:00:40,1.5\n12:01:00,0\n");
    std::vector<FieldSample> samples(16);
    const CFieldRead day = ReadFieldFile(dir.File("d.vks"), samples);
    const QJsonObject json = ParsedInfo(FormatLoadSummaryJson(dir.File("d.vks"), day, {1.0, 2.0}));
    const QJsonObject above = json["seconds_at_or_above"].toObject();
    EXPECT_NEAR(above["warning"].toDouble(), 50.0, 1e-6); // -3 for 30 s, 1.5 for 20 s
    EXPECT_NEAR(above["alert"].toDouble(), 30.0, 1e-6);
    EXPECT_FALSE(ParsedInfo(FormatLoadSummaryJson("d", day)).contains("seconds_at_or_above"));

    // Times are day numbers, a little off whole seconds: the sum is printed to the millisecond,
    // without their noise. A reading every 7 s for two hours, every third one at 5 kV/m.
    std::string strLines;
    for (int nSecond = 0; nSecond < 7200; nSecond += 7) {
        char sz[32];
        std::snprintf(sz, sizeof sz, "%02d:%02d:%02d,%d\n", 13 + nSecond / 3600, nSecond / 60 % 60,
                      nSecond % 60, nSecond % 3 == 0 ? 5 : 0);
        strLines += sz;
    }
    WriteFile(dir.File("long.vks"), strLines);
    std::vector<FieldSample> many(2000);
    const CFieldRead longer = ReadFieldFile(dir.File("long.vks"), many);
    const std::string strJson = FormatLoadSummaryJson("long", longer, {1.0, 0.0});
    EXPECT_NE(strJson.find("\"seconds_at_or_above\":{\"warning\":2401}"), std::string::npos)
        << strJson;
}
