#include "data/FieldLoader.h"

#include "data/ChartTime.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace testing_support;

namespace {
struct CLoadFixture : ::testing::Test {
    CTempDir dir;
    CRecordingChart chart;
    CStrip strip;
    CLoadSummary summary;

    void SetUp() override { strip.Attach(&chart); }

    BOOL Load(const std::string& strBytes) {
        const std::string strPath = dir.File("day.vks");
        WriteFile(strPath, strBytes);
        chart.m_calls.clear();
        return LoadFieldFile(strPath, strip, &summary);
    }
};

std::string Lines(int nCount, const char* pszLine) {
    std::string str;
    str.reserve(static_cast<std::size_t>(nCount) * 16);
    for (int i = 0; i < nCount; ++i) {
        str += pszLine;
    }
    return str;
}
} // namespace

// ---- Opening --------------------------------------------------------------------------------

TEST_F(CLoadFixture, FileThatCannotBeOpenedTouchesNothing) {
    g_Samples[0] = {123.0, 456.0};
    EXPECT_FALSE(LoadFieldFile(dir.File("missing.vks"), strip, &summary));
    EXPECT_FALSE(LoadFieldFile(dir.Path(), strip, &summary)); // a folder
    EXPECT_TRUE(chart.m_calls.empty());
    EXPECT_EQ(g_Samples[0].dTime, 123.0);
}

TEST_F(CLoadFixture, UnreadableFileIsNotOpened) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not bind root";
    }
    const std::string strPath = dir.File("locked.vks");
    WriteFile(strPath, "12:00:00,1.0\n");
    chmod(strPath.c_str(), 0);
    EXPECT_FALSE(LoadFieldFile(strPath, strip, &summary));
}

// ---- The hand-over and the scales ------------------------------------------------------------

TEST_F(CLoadFixture, PointsGoOverInPlaceThenTheScalesInOrder) {
    ASSERT_TRUE(Load("08:15:30,-0.45\n12:00:00,3.2\n"));
    ASSERT_EQ(chart.m_calls.size(), 7u);
    const CChartCall& call = chart.m_calls[0];
    EXPECT_EQ(call.dispid, 129);
    EXPECT_EQ(call.wFlags, DISPATCH_METHOD);
    ASSERT_EQ(call.args.size(), 2u);
    EXPECT_EQ(call.args[0].vt, VT_I2);
    EXPECT_EQ(call.args[0].iVal, 0);
    EXPECT_EQ(call.args[1].vt, VT_VARIANT | VT_BYREF);
    EXPECT_EQ(call.nDims, 2);
    EXPECT_EQ(call.nElementBytes, 8u);
    EXPECT_EQ(call.nRecords, 2u);
    EXPECT_EQ(call.nInnerCount, 2u);
    EXPECT_EQ(call.pData, static_cast<const void*>(g_Samples));

    const std::vector<DISPID> expected = {129, 33, 32, 24, 22, 102, 101};
    EXPECT_EQ(chart.Dispids(), expected);
    for (std::size_t i = 1; i < chart.m_calls.size(); ++i) {
        EXPECT_EQ(chart.m_calls[i].wFlags, DISPATCH_PROPERTYPUT);
        EXPECT_EQ(chart.m_calls[i].args[0].vt, VT_R8);
    }
    EXPECT_EQ(g_Samples[0].dTime, 1460.3440972222222);
    EXPECT_EQ(g_Samples[0].dValue, -0.45);
    EXPECT_EQ(chart.LastR8(33), 4.0);
    EXPECT_EQ(chart.LastR8(32), -4.0);
    EXPECT_EQ(chart.LastR8(24), 1461.0);
    EXPECT_EQ(chart.LastR8(22), 1.0);
    EXPECT_EQ(chart.LastR8(102), 1460.0);
    EXPECT_EQ(chart.LastR8(101), 1461.0);
}

TEST_F(CLoadFixture, ValueScaleShowsEveryReading) {
    struct Case {
        const char* pszFile;
        double dScale;
    };
    const Case cases[] = {
        {"00:00:01,3.2\n", 4.0},
        {"00:00:01,4.0\n", 4.0},
        {"00:00:01,0.5\n00:00:02,1.0\n", 1.0},
        {"00:00:01,-12.5\n00:00:02,3.2\n", 13.0}, // negative readings size the scale too
        {"00:00:01,-0.2\n", 1.0},
        {"00:00:01,nan\n00:00:02,inf\n00:00:03,2.5\n", 3.0}, // never sized by nan or inf
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(c.pszFile));
        EXPECT_EQ(chart.LastR8(33), c.dScale) << c.pszFile;
        EXPECT_EQ(chart.LastR8(32), -c.dScale) << c.pszFile;
    }
    ASSERT_TRUE(Load("00:00:01,nan\n"));
    EXPECT_TRUE(std::isnan(g_Samples[0].dValue)); // stored, just never sizing the scale
}

TEST_F(CLoadFixture, TimeRangeFromTheLastRecord) {
    ASSERT_TRUE(Load("06:00:00,1\n12:00:00,1\n"));
    EXPECT_EQ(chart.LastR8(24), 1461.0);
    EXPECT_EQ(chart.LastR8(102), 1460.0);
    ASSERT_TRUE(Load("06:00:00,1\n00:00:00,1\n"));
    EXPECT_EQ(chart.LastR8(24), 1460.0);
    EXPECT_EQ(chart.LastR8(102), 1460.0);
    EXPECT_EQ(chart.LastR8(101), 1460.0);
    ASSERT_TRUE(Load("24:00:00,1\n"));
    EXPECT_EQ(g_Samples[0].dTime, 1461.0);
}

TEST_F(CLoadFixture, EmptyFileShowsTheWholeDay) {
    for (const char* psz : {"", "\x1a"}) {
        g_Samples[0] = {999.0, 999.0};
        ASSERT_TRUE(Load(psz));
        EXPECT_EQ(chart.m_calls[0].nRecords, 0u);
        EXPECT_EQ(chart.LastR8(33), 1.0);
        EXPECT_EQ(chart.LastR8(32), -1.0);
        EXPECT_EQ(chart.LastR8(24), 1461.0);
        EXPECT_EQ(chart.LastR8(22), 1.0);
        EXPECT_EQ(chart.LastR8(102), 1460.0);
        EXPECT_EQ(chart.LastR8(101), 1461.0);
    }
}

// ---- Lines: text mode, fixed columns ---------------------------------------------------------

TEST_F(CLoadFixture, CrLfAndLfGiveTheSameRecords) {
    ASSERT_TRUE(Load("01:02:03,1.5\n04:05:06,-2\n"));
    const FieldSample a0 = g_Samples[0];
    const FieldSample a1 = g_Samples[1];
    ASSERT_TRUE(Load("01:02:03,1.5\r\n04:05:06,-2\r\n"));
    EXPECT_EQ(summary.nRecords, 2);
    EXPECT_EQ(g_Samples[0].dTime, a0.dTime);
    EXPECT_EQ(g_Samples[1].dValue, a1.dValue);
}

TEST_F(CLoadFixture, CtrlZEndsTheFile) {
    ASSERT_TRUE(Load("01:00:00,1\n02:00:00,2\x1a"
                     "03:00:00,3\n"));
    EXPECT_EQ(summary.nRecords, 2);
    EXPECT_EQ(g_Samples[1].dValue, 2.0);
}

TEST_F(CLoadFixture, EveryLineIsARecordEvenWithoutNumbers) {
    ASSERT_TRUE(Load("\n\r\n\n"));
    EXPECT_EQ(summary.nRecords, 3);
    EXPECT_EQ(g_Samples[2].dTime, 1460.0);
    EXPECT_EQ(g_Samples[2].dValue, 0.0);
    ASSERT_TRUE(Load("no numbers here at all\n12:00:00,5"));
    EXPECT_EQ(summary.nRecords, 2); // the last line needs no line end
    EXPECT_EQ(g_Samples[1].dValue, 5.0);
}

TEST_F(CLoadFixture, ShortLineDoesNotReadWhatALongerLineLeft) {
    ASSERT_TRUE(Load("11:22:33,4.5\n07\n"));
    EXPECT_EQ(g_Samples[1].dTime, ChartTimeFromFields(2004, 1, 1, 7, 0, 0));
    EXPECT_EQ(g_Samples[1].dValue, 0.0);
}

TEST_F(CLoadFixture, LongLineGivesOneRecordFromItsStart) {
    std::string strLong = "05:06:07,8.25" + std::string(287, '9'); // 300 characters
    ASSERT_TRUE(Load(strLong + "\n01:00:00,1\n"));
    EXPECT_EQ(summary.nRecords, 2);
    EXPECT_EQ(g_Samples[1].dTime, ChartTimeFromFields(2004, 1, 1, 1, 0, 0));
    // Exactly 254 characters then CR LF: still one record.
    ASSERT_TRUE(Load(std::string(254, ' ') + "\r\n"));
    EXPECT_EQ(summary.nRecords, 1);
}

TEST_F(CLoadFixture, BinaryAndNulBytesNeverCrash) {
    std::string strBytes;
    for (int i = 0; i < 4096; ++i) {
        strBytes += static_cast<char>((i * 131 + 7) % 256);
    }
    strBytes += std::string("12:00:00,1\0garbage\n", 20);
    ASSERT_TRUE(Load(strBytes));
    EXPECT_GE(summary.nRecords, 1);
    ASSERT_TRUE(Load(std::string("01\0"
                                 "02:03,9\n",
                                 11)));
    EXPECT_EQ(summary.nRecords, 1);
    // A NUL ends a number, not the line: later columns still read what the line holds there.
    EXPECT_EQ(g_Samples[0].dTime, ChartTimeFromFields(2004, 1, 1, 1, 2, 3));
    EXPECT_EQ(g_Samples[0].dValue, 9.0);
}

TEST_F(CLoadFixture, TimeFieldTooLargeGivesNoRecord) {
    ASSERT_TRUE(Load("99999999999:00:00,1\n01:00:00,2\n"));
    EXPECT_EQ(summary.nRecords, 1);
    EXPECT_EQ(summary.nSkipped, 1);
    EXPECT_EQ(g_Samples[0].dValue, 2.0);
}

TEST_F(CLoadFixture, StopsAtTheArraySize) {
    ASSERT_TRUE(Load(Lines(MAX_FIELD_SAMPLES, "00:00:01,1.0\n") + "23:00:00,77\n"));
    EXPECT_EQ(summary.nRecords, MAX_FIELD_SAMPLES);
    EXPECT_EQ(chart.m_calls[0].nRecords, static_cast<ULONG>(MAX_FIELD_SAMPLES));
    EXPECT_EQ(g_Samples[MAX_FIELD_SAMPLES - 1].dValue, 1.0);
    EXPECT_EQ(chart.LastR8(33), 1.0); // the 172,801st line was never read
}

TEST_F(CLoadFixture, ShorterFileAfterLongerHandsOnlyItsOwnRecords) {
    ASSERT_TRUE(Load(Lines(50, "00:00:01,1.0\n")));
    ASSERT_TRUE(Load("03:00:00,2.0\n"));
    EXPECT_EQ(chart.m_calls[0].nRecords, 1u);
    EXPECT_EQ(chart.LastR8(101), 1461.0);
}

TEST_F(CLoadFixture, FileChangingWhileReadGivesWhatItHeld) {
    // Another process keeps writing and truncating the file during loads; every load must end
    // with a sound count and sound scales, whatever it happened to see.
    const std::string strPath = dir.File("live.vks");
    WriteFile(strPath, Lines(20000, "01:00:00,2.5\n"));
    std::atomic<bool> bStop{false};
    std::thread writer([&] {
        const std::string strChunk = Lines(5000, "02:00:00,-3.5\n");
        for (int i = 0; !bStop; ++i) {
            if (i % 4 == 3) {
                truncate(strPath.c_str(), static_cast<off_t>((i * 7919) % 200000));
            } else if (FILE* pFile = std::fopen(strPath.c_str(), "ab")) {
                std::fwrite(strChunk.data(), 1, strChunk.size(), pFile);
                std::fclose(pFile);
            }
        }
    });
    int nSound = 0;
    for (int i = 0; i < 30; ++i) {
        const bool bOpened = LoadFieldFile(strPath, strip, &summary);
        // Lines cut by a truncation and joined by an append may read as any number; the scale
        // must still be a whole number at least 1 and the count within the array.
        nSound += bOpened && summary.nRecords >= 0 && summary.nRecords <= MAX_FIELD_SAMPLES &&
                  std::isfinite(summary.dScale) && summary.dScale >= 1.0 &&
                  summary.dScale == std::ceil(summary.dScale);
    }
    bStop = true;
    writer.join();
    EXPECT_EQ(nSound, 30);
}
