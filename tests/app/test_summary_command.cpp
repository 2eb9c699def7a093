// quillon --summary: rows that a CSV reader takes back whole, in date order whatever order the
// paths came in, hourly means that agree with a brute-force count, JSON lines with the same names,
// the failures named and the rest summarised, and a cache that is used while nothing changed and
// rebuilt when it cannot be trusted.

#include "app/CommandLine.h"
#include "app/SummaryCommand.h"
#include "doc/ArchiveScan.h"
#include "doc/SummaryCache.h"

#include "settings/ViewOptions.h"
#include "tests/TestSupport.h"
#include "tests/doc/ArchiveTestDays.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using namespace archive_tests;
using testing_support::CTempDir;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {
using CCsv = std::vector<std::vector<std::string>>;

// A strict RFC 4180 reader: quoted fields with doubled quotes, CRLF or LF line ends; anything
// else (a stray quote, text after a closing quote) fails the test.
CCsv ParseCsv(const std::string& str) {
    CCsv rows;
    std::vector<std::string> row;
    std::string field;
    std::size_t i = 0;
    while (i < str.size()) {
        if (str[i] == '"') {
            for (++i;; ++i) {
                if (i >= str.size()) {
                    ADD_FAILURE() << "unterminated quote";
                    return rows;
                }
                if (str[i] == '"' && i + 1 < str.size() && str[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else if (str[i] == '"') {
                    ++i;
                    break;
                } else {
                    field += str[i];
                }
            }
            if (i < str.size() && str[i] != ',' && str[i] != '\n' && str[i] != '\r') {
                ADD_FAILURE() << "text after a closing quote at " << i;
                return rows;
            }
        }
        if (i < str.size() && str[i] == ',') {
            row.push_back(std::move(field));
            field.clear();
            ++i;
        } else if (i < str.size() && (str[i] == '\n' || str[i] == '\r')) {
            i += str.compare(i, 2, "\r\n") == 0 ? 2 : 1;
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
        } else if (i < str.size()) {
            if (str[i] == '"') {
                ADD_FAILURE() << "a quote inside an unquoted field at " << i;
                return rows;
            }
            field += str[i++];
        }
    }
    EXPECT_TRUE(row.empty() && field.empty()) << "the last line has no line end";
    return rows;
}

struct CSummaryRun {
    int nResult = 0;
    std::string strOut;
    std::string strErr;
};

CSummaryRun RunSummary(std::vector<std::string> args, const std::string& strCache) {
    args.insert(args.begin(), "--summary");
    const CCommandLine cmd = ParseCommandLine(args);
    EXPECT_EQ(cmd.eMode, ECommandMode::Summary) << cmd.strError;
    std::ostringstream out;
    std::ostringstream err;
    CSummaryRun run;
    run.nResult = RunSummaryCommand(cmd, strCache, out, err);
    run.strOut = out.str();
    run.strErr = err.str();
    return run;
}

std::size_t Column(const CCsv& csv, const std::string& strName) {
    const auto it = std::find(csv[0].begin(), csv[0].end(), strName);
    EXPECT_NE(it, csv[0].end()) << strName;
    return static_cast<std::size_t>(it - csv[0].begin());
}

struct CSummaryCommandTest : ::testing::Test {
    CTempDir dir;
    CTempDir cache;
    std::vector<std::vector<CTestLine>> days;
    std::vector<std::string> paths; // in date order

    void SetUp() override {
        // Written out of date order, one with a comma and a quote in its name.
        const char* const names[] = {"2024-05-03.vks", "20240501.vks", "b,\"c\" 20240502.vks"};
        const int order[] = {2, 0, 1};
        paths.resize(3);
        days.resize(3);
        for (int i = 0; i < 3; ++i) {
            days[order[i]] = MakeDay(static_cast<unsigned>(i + 1), 5 + i);
            paths[order[i]] = dir.File(names[i]);
            WriteDay(paths[order[i]], days[order[i]]);
        }
        WriteDay(dir.File("undated.vks"), MakeDay(9, 50));
    }
};
} // namespace

TEST_F(CSummaryCommandTest, DaysAsCsvInDateOrderWithTheFailuresNamed) {
    const CSummaryRun run =
        RunSummary({paths[2], dir.File("missing.vks"), dir.Path(), "--warning", "2", "--alert=5"},
                   cache.Path());
    EXPECT_EQ(run.nResult, 1);
    EXPECT_EQ(run.strErr, "quillon: File not found: " + dir.File("missing.vks") + "\n");
    const CCsv csv = ParseCsv(run.strOut);
    ASSERT_EQ(csv.size(), 5U) << run.strOut; // the header, three days and the undated file once
    for (const std::vector<std::string>& row : csv) {
        EXPECT_EQ(row.size(), csv[0].size());
    }
    const std::size_t nFile = Column(csv, "file");
    EXPECT_EQ(csv[1][Column(csv, "date")], "2024-05-01");
    EXPECT_EQ(csv[2][nFile], "b,\"c\" 20240502.vks");
    EXPECT_EQ(csv[3][nFile], "2024-05-03.vks");
    EXPECT_EQ(csv[4][nFile], "undated.vks");
    EXPECT_EQ(csv[4][Column(csv, "date")], "");
    for (int i = 0; i < 3; ++i) {
        const CBruteDay expected = BruteForce(days[static_cast<std::size_t>(i)], 2.0, 5.0);
        const std::vector<std::string>& row = csv[static_cast<std::size_t>(i) + 1];
        EXPECT_EQ(std::stoi(row[Column(csv, "readings")]), expected.nReadings);
        EXPECT_NEAR(std::stod(row[Column(csv, "coverage_pct")]), expected.nCovered / 864.0, 1e-3);
        EXPECT_EQ(std::stod(row[Column(csv, "max_abs_kV_m")]), std::fabs(expected.dPeak));
        EXPECT_NEAR(std::stod(row[Column(csv, "above_alert_s")]), expected.dSecondsAt[1], 1e-3);
        EXPECT_EQ(row[Column(csv, "alert_level_kV_m")], "5");
    }
}

TEST_F(CSummaryCommandTest, HourlyMeansAgreeWithABruteForceCountAndJsonHasTheSameNames) {
    const CSummaryRun run = RunSummary({"--hourly", dir.Path()}, cache.Path());
    ASSERT_EQ(run.nResult, 0) << run.strErr;
    const CCsv csv = ParseCsv(run.strOut);
    ASSERT_EQ(csv.size(), 1U + 4 * 24);
    for (std::size_t d = 0; d < 3; ++d) {
        const CBruteDay expected = BruteForce(days[d], 1, 1);
        for (int h = 0; h < 24; ++h) {
            const std::vector<std::string>& row = csv[1 + d * 24 + static_cast<std::size_t>(h)];
            ASSERT_EQ(row[Column(csv, "hour")], std::to_string(h));
            const auto& values = expected.hours[h].values;
            EXPECT_EQ(std::stoi(row[Column(csv, "readings")]), static_cast<int>(values.size()));
            if (values.empty()) {
                EXPECT_EQ(row[Column(csv, "mean_kV_m")], "") << d << " " << h;
                continue;
            }
            EXPECT_NEAR(std::stod(row[Column(csv, "mean_kV_m")]), expected.hours[h].Mean(), 1e-6);
            if (values.size() > 1) {
                EXPECT_NEAR(std::stod(row[Column(csv, "sd_kV_m")]), expected.hours[h].StdDev(),
                            1e-6);
            }
        }
    }

    const CSummaryRun json = RunSummary({"--json", dir.Path()}, cache.Path());
    std::istringstream lines(json.strOut);
    std::string strLine;
    int nLines = 0;
    const CCsv header = ParseCsv(RunSummary({dir.Path()}, cache.Path()).strOut);
    while (std::getline(lines, strLine)) {
        QJsonParseError error{};
        const QJsonObject object =
            QJsonDocument::fromJson(QByteArray::fromStdString(strLine), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << strLine;
        EXPECT_EQ(object.keys().size(), static_cast<qsizetype>(header[0].size()));
        for (const std::string& strName : header[0]) {
            EXPECT_TRUE(object.contains(QString::fromStdString(strName))) << strName;
        }
        ++nLines;
    }
    EXPECT_EQ(nLines, 4);
}

// --pg reads the same days as PG = -E in V/m: the field's highest is the gradient's lowest.
TEST_F(CSummaryCommandTest, PotentialGradientColumnsAreTheFieldsTurnedAndInVoltsPerMetre) {
    const CCsv field = ParseCsv(RunSummary({dir.Path()}, cache.Path()).strOut);
    const CCsv pg = ParseCsv(RunSummary({"--pg", dir.Path()}, cache.Path()).strOut);
    ASSERT_EQ(pg.size(), field.size());
    const std::pair<const char*, const char*> turned[] = {{"min_pg_V_m", "max_kV_m"},
                                                          {"min_pg_time", "max_time"},
                                                          {"max_pg_V_m", "min_kV_m"},
                                                          {"max_pg_time", "min_time"}};
    for (std::size_t i = 1; i < pg.size(); ++i) {
        for (const auto& [pszPg, pszField] : turned) {
            const std::string& strPg = pg[i][Column(pg, pszPg)];
            const std::string& strField = field[i][Column(field, pszField)];
            if (std::string(pszPg).ends_with("_time")) {
                EXPECT_EQ(strPg, strField);
            } else {
                EXPECT_NEAR(std::stod(strPg), -1000.0 * std::stod(strField), 1e-6) << strPg;
            }
        }
        EXPECT_NEAR(std::stod(pg[i][Column(pg, "max_abs_pg_V_m")]),
                    1000.0 * std::stod(field[i][Column(field, "max_abs_kV_m")]), 1e-6);
    }
    const CCsv hours = ParseCsv(RunSummary({"--pg", "--hourly", paths[0]}, cache.Path()).strOut);
    const CBruteDay expected = BruteForce(days[0], 1, 1);
    for (int h = 0; h < 24; ++h) {
        if (expected.hours[h].values.size() > 1) {
            const std::vector<std::string>& row = hours[1 + static_cast<std::size_t>(h)];
            EXPECT_NEAR(std::stod(row[Column(hours, "mean_pg_V_m")]),
                        -1000.0 * expected.hours[h].Mean(), 1e-3);
            EXPECT_NEAR(std::stod(row[Column(hours, "sd_pg_V_m")]),
                        1000.0 * expected.hours[h].StdDev(), 1e-3);
        }
    }
}

TEST_F(CSummaryCommandTest, TheCacheIsUsedWhileNothingChangedAndRebuiltWhenUntrustworthy) {
    const std::vector<std::string> args = {dir.Path(), "--warning", "2", "--alert", "5"};
    const CSummaryRun first = RunSummary(args, cache.Path());
    ASSERT_EQ(first.nResult, 0);
    const std::string strCacheFile = CSummaryCache::FileFor(cache.Path(), dir.Path());
    ASSERT_TRUE(std::filesystem::exists(strCacheFile));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);

    // What the cache says is what is printed while the file stays as it was.
    // The levels the command ran with: the settings' rule with the levels it was given.
    CViewOptions options;
    options.Load();
    CAlarmRule rule = AlarmRuleOf(options);
    rule.dWarning = 2;
    rule.dAlert = 5;
    const CSummaryLevels levels = LevelsOfRule(rule);
    CSummaryCache planted;
    ASSERT_TRUE(planted.Load(cache.Path(), dir.Path(), levels));
    const CDayFile day = DayFileOf(paths[0]);
    CDaySummary fake = *planted.Find(day.strName, day.nSize, day.nModified);
    fake.nReadings = 12345;
    planted.Put(day.strName, day.nSize, day.nModified, fake);
    ASSERT_TRUE(planted.Save(cache.Path(), dir.Path(), levels).Ok());
    EXPECT_NE(RunSummary(args, cache.Path()).strOut.find(",12345,"), std::string::npos);

    // The file grows: read again.
    WriteFile(paths[0], ReadFile(paths[0]) + "23:59:59,0.100\n");
    const CSummaryRun grown = RunSummary(args, cache.Path());
    EXPECT_EQ(grown.strOut.find(",12345,"), std::string::npos);
    const CCsv csv = ParseCsv(grown.strOut);
    EXPECT_EQ(std::stoi(csv[1][Column(csv, "readings")]), BruteForce(days[0], 1, 1).nReadings + 1);

    // A damaged cache is never believed, and is written anew.
    std::string strBytes = ReadFile(strCacheFile);
    strBytes[strBytes.size() / 2] ^= 0x01;
    WriteFile(strCacheFile, strBytes);
    EXPECT_EQ(RunSummary(args, cache.Path()).strOut, grown.strOut);
    CSummaryCache rebuilt;
    EXPECT_TRUE(rebuilt.Load(cache.Path(), dir.Path(), levels));
    EXPECT_EQ(rebuilt.Size(), 4U);
}

TEST(SummaryCommandLine, PathsLevelsAndTheirMistakes) {
    const CCommandLine cmd = ParseCommandLine(
        {"--summary", "a.vks", "folder", "--hourly", "--json", "--warning", "1.5", "--alert=0"});
    ASSERT_EQ(cmd.eMode, ECommandMode::Summary) << cmd.strError;
    EXPECT_EQ(cmd.files, (std::vector<std::string>{"a.vks", "folder"}));
    EXPECT_TRUE(cmd.bHourly && cmd.bJson);
    EXPECT_EQ(cmd.dWarning, 1.5);
    EXPECT_EQ(cmd.dAlert, 0.0);
    EXPECT_EQ(ParseCommandLine({"--summary", "a"}).dWarning, -1.0); // the settings' level
    const CCommandLine archive = ParseCommandLine({"--archive", "/data"});
    EXPECT_EQ(archive.eMode, ECommandMode::Archive);
    EXPECT_EQ(archive.strFile, "/data");
    EXPECT_EQ(ParseCommandLine({"--archive"}).eMode, ECommandMode::Archive);
    const CCommandLine batch = ParseCommandLine({"--export", "out/", "--format", "SVG", "a", "b"});
    ASSERT_EQ(batch.eMode, ECommandMode::Export) << batch.strError;
    EXPECT_EQ(batch.strFormat, "svg");
    EXPECT_EQ(batch.files.size(), 2U);

    const std::pair<std::vector<std::string>, const char*> mistakes[] = {
        {{"--summary"}, "--summary needs"},
        {{"--json", "a.vks"}, "go with --summary"},
        {{"--summary", "a", "--warning", "x"}, "bad level 'x'"},
        {{"--summary", "a", "--alert", "1001"}, "bad level '1001'"},
        {{"--summary", "a", "--warning"}, "--warning needs"},
        {{"--summary=1", "a"}, "--summary takes no value"},
        {{"--archive", "a", "b"}, "--archive takes one folder"},
        {{"--format", "png", "a"}, "--format goes with --export"},
        {{"--export", "o/", "--format", "gif", "a"}, "unknown --format 'gif'"},
        {{"--export", "o.PNG", "a", "b"}, "several days are drawn into a folder"},
        {{"--info", "--pg", "a"}, "--pg goes with --summary or --export"},
    };
    for (const auto& [args, pszMention] : mistakes) {
        const CCommandLine bad = ParseCommandLine(args);
        EXPECT_EQ(bad.eMode, ECommandMode::Error) << testing::PrintToString(args);
        EXPECT_NE(bad.strError.find(pszMention), std::string::npos) << bad.strError;
    }
}
