#include "data/FieldLoader.h"

#include "data/ChartTime.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace testing_support;

namespace {
struct CLoadFixture : ::testing::Test {
    CTempDir dir;
    std::vector<FieldSample> samples = std::vector<FieldSample>(MAX_FIELD_SAMPLES);
    CFieldRead day;
    const CLoadSummary& summary = day.summary;

    bool Load(const std::string& strBytes) {
        const std::string strPath = dir.File("day.vks");
        WriteFile(strPath, strBytes);
        day = ReadFieldFile(strPath, samples);
        return day.Opened();
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

TEST_F(CLoadFixture, OnlyRegularFilesAreRead) {
    samples[0] = {123.0, 456.0};
    EXPECT_EQ(ReadFieldFile(dir.File("missing.vks"), samples).eOpen, EFieldOpen::NotFound);
    EXPECT_EQ(ReadFieldFile(dir.Path(), samples).eOpen, EFieldOpen::NotFound); // a folder
#ifdef _WIN32
    EXPECT_EQ(ReadFieldFile("NUL", samples).eOpen, EFieldOpen::NotRegular);
#else
    // A FIFO without a writer would block a plain open for ever; a device never ends.
    const std::string strFifo = dir.File("fifo.vks");
    ASSERT_EQ(mkfifo(strFifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadFieldFile(strFifo, samples).eOpen, EFieldOpen::NotRegular);
    EXPECT_EQ(ReadFieldFile("/dev/zero", samples).eOpen, EFieldOpen::NotRegular);
#endif
    EXPECT_EQ(samples[0].dTime, 123.0);
}

#ifdef _WIN32
TEST_F(CLoadFixture, FileHeldWithoutSharingIsNotOpenedAndSharedOneIs) {
    const std::string strPath = dir.File("held.vks");
    WriteFile(strPath, "12:00:00,1.0\n");
    const std::wstring strWide = std::filesystem::path(strPath).wstring();
    for (const DWORD dwShare : {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        // A logger holds the file open for writing, sharing it or not.
        const HANDLE hLogger = ::CreateFileW(strWide.c_str(), GENERIC_WRITE, dwShare, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(hLogger, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ReadFieldFile(strPath, samples).Opened(), dwShare != 0) << dwShare;
        ::CloseHandle(hLogger);
    }
}
#else
TEST_F(CLoadFixture, UnreadableFileIsNotOpened) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not bind root";
    }
    const std::string strPath = dir.File("locked.vks");
    WriteFile(strPath, "12:00:00,1.0\n");
    chmod(strPath.c_str(), 0);
    EXPECT_FALSE(ReadFieldFile(strPath, samples).Opened());
}
#endif

// ---- The scales -----------------------------------------------------------------------------

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
        EXPECT_EQ(summary.dScale, c.dScale) << c.pszFile;
    }
    ASSERT_TRUE(Load("00:00:01,nan\n"));
    EXPECT_TRUE(std::isnan(samples[0].dValue)); // stored, just never sizing the scale
}

TEST_F(CLoadFixture, TimeRangeFromTheLastRecord) {
    ASSERT_TRUE(Load("06:00:00,1\n12:00:00,1\n"));
    EXPECT_EQ(summary.dTimeHigh, 1461.0);
    EXPECT_EQ(summary.dTimeLow, 1460.0);
    ASSERT_TRUE(Load("06:00:00,1\n00:00:00,1\n"));
    EXPECT_EQ(summary.dTimeLow, 1460.0);
    EXPECT_EQ(summary.dTimeHigh, 1460.0);
    ASSERT_TRUE(Load("24:00:00,1\n"));
    EXPECT_EQ(samples[0].dTime, 1461.0);
}

TEST_F(CLoadFixture, EmptyFileShowsTheWholeDay) {
    for (const char* psz : {"", "\x1a"}) {
        samples[0] = {999.0, 999.0};
        ASSERT_TRUE(Load(psz));
        EXPECT_EQ(day.records.size(), 0u);
        EXPECT_EQ(summary.dScale, 1.0);
        EXPECT_EQ(summary.dTimeLow, 1460.0);
        EXPECT_EQ(summary.dTimeHigh, 1461.0);
    }
}

// ---- Lines: text mode, fixed columns ---------------------------------------------------------

TEST_F(CLoadFixture, CrLfAndLfGiveTheSameRecords) {
    ASSERT_TRUE(Load("01:02:03,1.5\n04:05:06,-2\n"));
    const FieldSample a0 = samples[0];
    const FieldSample a1 = samples[1];
    ASSERT_TRUE(Load("01:02:03,1.5\r\n04:05:06,-2\r\n"));
    EXPECT_EQ(summary.nRecords, 2);
    EXPECT_EQ(samples[0].dTime, a0.dTime);
    EXPECT_EQ(samples[1].dValue, a1.dValue);
}

TEST_F(CLoadFixture, CtrlZEndsTheFile) {
    ASSERT_TRUE(Load("01:00:00,1\n02:00:00,2\x1a"
                     "03:00:00,3\n"));
    EXPECT_EQ(summary.nRecords, 2);
    EXPECT_EQ(samples[1].dValue, 2.0);
}

TEST_F(CLoadFixture, EveryLineIsARecordEvenWithoutNumbers) {
    ASSERT_TRUE(Load("\n\r\n\n"));
    EXPECT_EQ(summary.nRecords, 3);
    EXPECT_EQ(samples[2].dTime, 1460.0);
    EXPECT_EQ(samples[2].dValue, 0.0);
    ASSERT_TRUE(Load("no numbers here at all\n12:00:00,5"));
    EXPECT_EQ(summary.nRecords, 2); // the last line needs no line end
    EXPECT_EQ(samples[1].dValue, 5.0);
}

TEST_F(CLoadFixture, ShortLineDoesNotReadWhatALongerLineLeft) {
    ASSERT_TRUE(Load("11:22:33,4.5\n07\n"));
    EXPECT_EQ(samples[1].dTime, ChartTimeFromFields(2004, 1, 1, 7, 0, 0));
    EXPECT_EQ(samples[1].dValue, 0.0);
}

TEST_F(CLoadFixture, LongLineGivesOneRecordFromItsStart) {
    std::string strLong = "05:06:07,8.25" + std::string(287, '9'); // 300 characters
    ASSERT_TRUE(Load(strLong + "\n01:00:00,1\n"));
    EXPECT_EQ(summary.nRecords, 2);
    EXPECT_EQ(samples[1].dTime, ChartTimeFromFields(2004, 1, 1, 1, 0, 0));
    // Exactly 254 characters then CR LF: still one record.
    ASSERT_TRUE(Load(std::string(254, ' ') + "\r\n"));
    EXPECT_EQ(summary.nRecords, 1);
}

TEST_F(CLoadFixture, OverLongLineAcrossAHoleInASparseFile) {
    // A long line whose rest is skipped over a hole of zeros, then a line end and a last line.
    const std::string strPath = dir.File("sparse.vks");
    {
        std::FILE* pFile = std::fopen(strPath.c_str(), "wb");
        ASSERT_NE(pFile, nullptr);
        std::fputs(("01:00:00,1\n" + std::string(300, 'x')).c_str(), pFile);
        std::fseek(pFile, 8L * 1024 * 1024, SEEK_SET);
        std::fputs("yy\r\n02:00:00,2\n", pFile);
        std::fclose(pFile);
    }
    day = ReadFieldFile(strPath, samples);
    ASSERT_EQ(summary.nRecords, 3);
    EXPECT_EQ(samples[1].dTime, 1460.0); // "xx..." reads as 00:00:00
    EXPECT_EQ(samples[2].dValue, 2.0);
    EXPECT_TRUE(day.bLastLineComplete);
    EXPECT_EQ(day.nEndOffset, 8u * 1024 * 1024 + 15);
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
    EXPECT_EQ(samples[0].dTime, ChartTimeFromFields(2004, 1, 1, 1, 2, 3));
    EXPECT_EQ(samples[0].dValue, 9.0);
}

TEST_F(CLoadFixture, TimeFieldTooLargeGivesNoRecordAndAWarningWithItsLine) {
    ASSERT_TRUE(Load("01:00:00,2\n99999999999:00:00,1\n01:00:00,2\n"));
    EXPECT_EQ(summary.nRecords, 2);
    EXPECT_EQ(summary.nSkipped, 1);
    EXPECT_EQ(samples[1].dValue, 2.0);
    ASSERT_EQ(day.warnings.size(), 1u);
    EXPECT_EQ(day.warnings[0].nLine, 2);
}

// ---- Reading on from where an earlier read stopped -------------------------------------------

TEST_F(CLoadFixture, ReadsOnFromTheEndOfTheLastCompleteLine) {
    // The logger is part-way through its third line.
    ASSERT_TRUE(Load("01:00:00,1\r\n02:00:00,2\n03:00"));
    EXPECT_EQ(summary.nRecords, 3); // a whole-file read counts the unfinished line, as ever
    EXPECT_FALSE(day.bLastLineComplete);
    EXPECT_EQ(day.nCompleteRecords, 2u);
    EXPECT_EQ(day.nEndOffset, 23u);
    EXPECT_EQ(day.nNextLine, 3);

    const std::string strPath = dir.File("day.vks");
    WriteFile(strPath, "01:00:00,1\r\n02:00:00,2\n03:00:00,3\n99999999999:00:00,1\n");
    const CFieldRead next = ReadFieldFile(strPath, samples, {day.nEndOffset, day.nNextLine});
    ASSERT_EQ(next.records.size(), 1u);
    EXPECT_EQ(next.records[0].dValue, 3.0);
    EXPECT_TRUE(next.bLastLineComplete);
    EXPECT_EQ(next.nEndOffset, 54u);
    ASSERT_EQ(next.warnings.size(), 1u);
    EXPECT_EQ(next.warnings[0].nLine, 4); // numbered as in the whole file

    // Nothing new: nothing read, and the place stays.
    const CFieldRead idle = ReadFieldFile(strPath, samples, {next.nEndOffset, next.nNextLine});
    EXPECT_TRUE(idle.records.empty());
    EXPECT_EQ(idle.nEndOffset, next.nEndOffset);
}

TEST_F(CLoadFixture, StopsAtTheArraySize) {
    ASSERT_TRUE(Load(Lines(MAX_FIELD_SAMPLES, "00:00:01,1.0\n") + "23:00:00,77\n"));
    EXPECT_EQ(summary.nRecords, MAX_FIELD_SAMPLES);
    EXPECT_EQ(day.records.size(), static_cast<std::size_t>(MAX_FIELD_SAMPLES));
    EXPECT_EQ(samples[MAX_FIELD_SAMPLES - 1].dValue, 1.0);
    EXPECT_EQ(summary.dScale, 1.0); // the 172,801st line was never read
}

TEST_F(CLoadFixture, ShorterFileAfterLongerHandsOnlyItsOwnRecords) {
    ASSERT_TRUE(Load(Lines(50, "00:00:01,1.0\n")));
    ASSERT_TRUE(Load("03:00:00,2.0\n"));
    EXPECT_EQ(day.records.size(), 1u);
    EXPECT_EQ(summary.dTimeHigh, 1461.0);
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
                std::error_code ec; // the reader may hold the file just then
                std::filesystem::resize_file(strPath,
                                             static_cast<std::uintmax_t>((i * 7919) % 200000), ec);
            } else if (FILE* pFile = std::fopen(strPath.c_str(), "ab")) {
                std::fwrite(strChunk.data(), 1, strChunk.size(), pFile);
                std::fclose(pFile);
            }
        }
    });
    int nSound = 0;
    for (int i = 0; i < 30; ++i) {
        day = ReadFieldFile(strPath, samples);
        const bool bOpened = day.Opened();
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

TEST_F(CLoadFixture, TwoThreadsReadTwoFilesAsOneThreadReadsThemInTurn) {
    // Readers share nothing: two days read at once give exactly what they give one after the
    // other, lines that span the reader's buffer included.
    std::string strA;
    std::string strB;
    for (int i = 0; i < 40000; ++i) {
        char sz[64];
        std::snprintf(sz, sizeof sz, "%02d:%02d:%02d,%.3f\n", (i / 3600) % 24, (i / 60) % 60,
                      i % 60, std::sin(i * 0.01));
        strA += sz;
        std::snprintf(sz, sizeof sz, "%02d:%02d:%02d,%d%s\n", (i / 7) % 24, i % 60, (i * 7) % 60,
                      -i % 97, i % 5 == 0 ? ".25  trailing text" : "");
        strB += sz;
    }
    const std::string strPathA = dir.File("a.vks");
    const std::string strPathB = dir.File("b.vks");
    WriteFile(strPathA, strA);
    WriteFile(strPathB, strB);
    std::vector<FieldSample> alone[2] = {std::vector<FieldSample>(MAX_FIELD_SAMPLES),
                                         std::vector<FieldSample>(MAX_FIELD_SAMPLES)};
    const std::size_t nA = ReadFieldFile(strPathA, alone[0]).records.size();
    const std::size_t nB = ReadFieldFile(strPathB, alone[1]).records.size();

    std::vector<FieldSample> together[2] = {std::vector<FieldSample>(MAX_FIELD_SAMPLES),
                                            std::vector<FieldSample>(MAX_FIELD_SAMPLES)};
    std::size_t nCounts[2] = {0, 0};
    for (int nRound = 0; nRound < 3; ++nRound) {
        std::thread other(
            [&] { nCounts[1] = ReadFieldFile(strPathB, together[1]).records.size(); });
        nCounts[0] = ReadFieldFile(strPathA, together[0]).records.size();
        other.join();
        ASSERT_EQ(nCounts[0], nA);
        ASSERT_EQ(nCounts[1], nB);
        for (int k = 0; k < 2; ++k) {
            ASSERT_EQ(std::memcmp(alone[k].data(), together[k].data(),
                                  (k == 0 ? nA : nB) * sizeof(FieldSample)),
                      0);
        }
    }
}
