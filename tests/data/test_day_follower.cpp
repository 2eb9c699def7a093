// Following a day's file as the logger writes it: appended lines only, an unfinished line waits,
// a file cut short or replaced is read again, a removed one stays as it was, a full day stops.

#include "data/DayFollower.h"
#include "data/NextDayFile.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

using namespace testing_support;

TEST(DayFollower, ReadsWhatWasAppendedAndWaitsForAnUnfinishedLine) {
    CTempDir dir;
    const std::string strPath = dir.File("day.vks");
    WriteFile(strPath, "12:00:00,1\n12:00:01,2\n12:00");
    std::vector<FieldSample> samples(8);
    const CFieldRead loaded = ReadFieldFile(strPath, samples);
    CDayFollower follower;
    follower.Start(strPath, loaded);
    EXPECT_EQ(follower.Records(), 3u); // the load shows the unfinished line, as ever
    EXPECT_EQ(follower.Poll(samples).eKind, EFollow::Unchanged);

    AppendFile(strPath, ":02,3\n12:00:03,4\n12:0");
    CFollowStep step = follower.Poll(samples);
    EXPECT_EQ(step.eKind, EFollow::Appended);
    EXPECT_EQ(step.nFirstChanged, 2u); // the unfinished line, now whole
    EXPECT_EQ(step.nRecords, 4u);      // and the next one waits
    EXPECT_EQ(samples[2].dValue, 3.0);
    EXPECT_EQ(samples[3].dValue, 4.0);

    // More than the array holds: stored up to its end, then full.
    AppendFile(strPath, "0:04,5\n12:00:05,6\n12:00:06,7\n12:00:07,8\n12:00:08,9\n12:00:09,10\n");
    step = follower.Poll(samples);
    EXPECT_EQ(step.nRecords, 8u);
    EXPECT_TRUE(step.bFull);
    EXPECT_EQ(samples[7].dValue, 8.0);
    AppendFile(strPath, "12:00:10,11\n");
    step = follower.Poll(samples);
    EXPECT_EQ(step.nRecords, 8u);
    EXPECT_TRUE(step.bFull);
}

TEST(DayFollower, CutShortReplacedOrRemoved) {
    CTempDir dir;
    const std::string strPath = dir.File("day.vks");
    WriteFile(strPath, "01:00:00,1\n02:00:00,2\n03:00:00,3\n");
    std::vector<FieldSample> samples(16);
    CDayFollower follower;
    follower.Start(strPath, ReadFieldFile(strPath, samples));

    WriteFile(strPath, "05:00:00,5\n"); // cut short in place
    CFollowStep step = follower.Poll(samples);
    EXPECT_EQ(step.eKind, EFollow::Reloaded);
    EXPECT_EQ(step.nRecords, 1u);
    EXPECT_EQ(samples[0].dValue, 5.0);

    // Another file renamed over it, longer than the first: still read again whole.
    WriteFile(dir.File("next.vks"), "06:00:00,6\n07:00:00,7\n08:00:00,8\n09:00:00,9\n");
    std::filesystem::rename(dir.File("next.vks"), strPath);
    step = follower.Poll(samples);
    EXPECT_EQ(step.eKind, EFollow::Reloaded);
    EXPECT_EQ(step.nRecords, 4u);
    EXPECT_EQ(samples[0].dValue, 6.0);

    std::filesystem::remove(strPath);
    EXPECT_EQ(follower.Poll(samples).eKind, EFollow::Gone);
    EXPECT_EQ(follower.Poll(samples).eKind, EFollow::Unchanged) << "said once";
    EXPECT_EQ(samples[3].dValue, 9.0) << "what was read stays";
    WriteFile(strPath, "10:00:00,10\n");
    EXPECT_EQ(follower.Poll(samples).eKind, EFollow::Reloaded);
}

TEST(NextDayFile, TheLatestLaterNameOfTheSameFolder) {
    CTempDir dir;
    for (const char* psz : {"20240101.vks", "20240102.VKS", "20240103.txt", "20231231.vks"}) {
        WriteFile(dir.File(psz), "");
    }
    std::filesystem::create_directory(dir.File("20249999.vks")); // a folder is no day
    EXPECT_EQ(NextDayFile(dir.File("20240101.vks")), dir.File("20240102.VKS"));
    EXPECT_EQ(NextDayFile(dir.File("20240102.VKS")), "");
    WriteFile(dir.File("20240104.vks"), "");
    EXPECT_EQ(NextDayFile(dir.File("20231231.vks")), dir.File("20240104.vks"));
}

TEST(DayFollower, ReadingInPiecesGivesTheRecordsOfAWholeRead) {
    // CR LF, a line cut between pieces, a short line, an unparseable time, then a Ctrl-Z.
    const std::string strDay = "01:00:00,1.5\r\n02:00:00,-2\n03\n99999999999:00:00,9\n"
                               "04:00:00,4.25\r\n05:00:00,5\x1a"
                               "06:00:00,6\n";
    CTempDir dir;
    const std::string strPath = dir.File("day.vks");
    std::vector<FieldSample> whole(16);
    WriteFile(strPath, strDay);
    const CFieldRead all = ReadFieldFile(strPath, whole);
    ASSERT_EQ(all.records.size(), 5u);
    // The logger stops after every possible byte; the follower reads on from where it was.
    for (std::size_t nCut = 0; nCut <= strDay.size(); ++nCut) {
        WriteFile(strPath, strDay.substr(0, nCut));
        std::vector<FieldSample> samples(16);
        CDayFollower follower;
        follower.Start(strPath, ReadFieldFile(strPath, samples));
        WriteFile(strPath, strDay);
        const CFollowStep step = follower.Poll(samples);
        ASSERT_EQ(step.nRecords, all.records.size()) << "cut after " << nCut;
        for (std::size_t i = 0; i < step.nRecords; ++i) {
            EXPECT_EQ(samples[i].dTime, whole[i].dTime) << "cut after " << nCut << ", record " << i;
            EXPECT_EQ(samples[i].dValue, whole[i].dValue)
                << "cut after " << nCut << ", record " << i;
        }
    }
}
