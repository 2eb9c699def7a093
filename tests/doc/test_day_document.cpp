// The day document: what it announces as a followed file changes, where a follower that started
// late, missed a rewrite or fell silent once the day was full showed the wrong day.

#include "doc/DayDocument.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace testing_support;

namespace {
std::string Lines(int nFrom, int nCount, const char* pszValue) {
    std::string str;
    for (int i = nFrom; i < nFrom + nCount; ++i) {
        char sz[32];
        std::snprintf(sz, sizeof sz, "%02d:%02d:%02d,%s\n", i / 3600, (i / 60) % 60, i % 60,
                      pszValue);
        str += sz;
    }
    return str;
}

struct CDocumentTest : ::testing::Test {
    CTempDir dir;
    std::string strPath = dir.File("day.vks");
    std::vector<FieldSample> samples = std::vector<FieldSample>(MAX_FIELD_SAMPLES);
    CDayDocument day{samples};
    std::vector<EDayChange> heard;

    void SetUp() override {
        day.Listen([this](const CDayChange& change) { heard.push_back(change.eKind); });
    }
    int Heard(EDayChange eKind) const {
        return static_cast<int>(std::count(heard.begin(), heard.end(), eKind));
    }
};
} // namespace

// The start-up file is read early, on a thread of its own; what the logger writes before the
// window starts following, and a file renamed over the name meanwhile, must not be missed.
TEST_F(CDocumentTest, FollowingStartsFromTheReadNotFromWhenItStarts) {
    WriteFile(strPath, Lines(0, 1000, "0.5"));
    const CFieldRead early = ReadFieldFile(strPath, samples);
    AppendFile(strPath, Lines(1000, 10, "0.5"));
    ASSERT_TRUE(day.Adopt(strPath, early).bOpened);
    day.StartFollowing();
    day.Poll();
    EXPECT_EQ(day.Records().size(), 1010u);

    const CFieldRead again = ReadFieldFile(strPath, samples);
    const std::string strOther = dir.File("other.vks");
    WriteFile(strOther, Lines(0, 2001, "2.0"));
    std::filesystem::rename(strOther, strPath);
    ASSERT_TRUE(day.Adopt(strPath, again).bOpened);
    day.StartFollowing();
    day.Poll();
    EXPECT_EQ(day.Records().size(), 2001u);
    EXPECT_EQ(day.Records().back().dValue, 2.0);
}

// A logger that truncates its file and writes it again in place (same file, larger) gives a new
// day, never the old readings mixed with the new.
TEST_F(CDocumentTest, AFileRewrittenInPlaceIsReadAgainWhole) {
    WriteFile(strPath, Lines(0, 100, "0.0"));
    ASSERT_TRUE(day.Open(strPath).bOpened);
    day.StartFollowing();
    std::FILE* pFile = std::fopen(strPath.c_str(), "wb"); // O_TRUNC, same inode
    ASSERT_NE(pFile, nullptr);
    const std::string strNew = Lines(0, 150, "1.0");
    std::fwrite(strNew.data(), 1, strNew.size(), pFile);
    std::fclose(pFile);
    day.Poll();
    EXPECT_EQ(Heard(EDayChange::NewDay), 2);
    ASSERT_EQ(day.Records().size(), 150u);
    EXPECT_EQ(day.Extremes().min.dValue, 1.0);
    EXPECT_EQ(day.Extremes().max.dValue, 1.0);
}

// Once the array is full, more readings in the file are announced, once.
TEST_F(CDocumentTest, AFullDayIsSaidOnce) {
    std::vector<FieldSample> small(5);
    CDayDocument five(small);
    int nFull = 0;
    five.Listen([&](const CDayChange& change) { nFull += change.eKind == EDayChange::Full; });
    WriteFile(strPath, Lines(0, 4, "1"));
    ASSERT_TRUE(five.Open(strPath).bOpened);
    five.StartFollowing();
    AppendFile(strPath, Lines(4, 1, "1"));
    five.Poll();
    EXPECT_FALSE(five.Full());
    AppendFile(strPath, Lines(5, 1, "1"));
    five.Poll();
    AppendFile(strPath, Lines(6, 1, "1"));
    five.Poll();
    EXPECT_TRUE(five.Full());
    EXPECT_EQ(nFull, 1);
}

// A followed name that turns into something that cannot be read is said once, not every second,
// and a file that comes back is a new day.
TEST_F(CDocumentTest, TroubleIsSaidOnceForEachCause) {
    WriteFile(strPath, Lines(0, 3, "1"));
    ASSERT_TRUE(day.Open(strPath).bOpened);
    day.StartFollowing();
    std::filesystem::remove(strPath);
    std::filesystem::create_directory(strPath);
    for (int i = 0; i < 3; ++i) {
        day.Poll();
    }
    EXPECT_EQ(Heard(EDayChange::Trouble), 1);
    EXPECT_EQ(day.Records().size(), 3u) << "what was read stays";
    std::filesystem::remove(strPath);
    day.Poll();
    EXPECT_TRUE(day.Gone());
    WriteFile(strPath, Lines(0, 7, "3"));
    day.Poll();
    EXPECT_FALSE(day.Gone());
    EXPECT_EQ(day.Records().size(), 7u);
    EXPECT_EQ(day.ValueScale(), 3.0);
}

// A last line far longer than a line gives grows without its end: it is looked at for its end
// only, and once it ends the day goes on as a whole read of the file gives it.
TEST_F(CDocumentTest, ALongUnfinishedLineIsNotReadAgainAsItGrows) {
    WriteFile(strPath, "00:00:01,1.5\n00:00:02,2.5" + std::string(100000, '7'));
    ASSERT_TRUE(day.Open(strPath).bOpened);
    day.StartFollowing();
    for (int i = 0; i < 20; ++i) {
        AppendFile(strPath, std::string(70000, '7'));
        day.Poll();
    }
    EXPECT_EQ(day.Records().size(), 2u) << "as loaded, the unfinished line shows";
    AppendFile(strPath, "7\n00:00:03,-3.5\n");
    day.Poll();
    std::vector<FieldSample> whole(MAX_FIELD_SAMPLES);
    const CFieldRead read = ReadFieldFile(strPath, whole);
    ASSERT_EQ(day.Records().size(), read.records.size());
    EXPECT_EQ(day.Records()[1].dValue, read.records[1].dValue);
    EXPECT_EQ(day.Records()[2].dValue, -3.5);
}
