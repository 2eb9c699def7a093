// The days of a folder summarised on several threads, and the cache of their summaries: the same
// summaries whatever the number of workers, and a cache that is used only while it can be trusted.

#include "doc/ArchiveScan.h"
#include "doc/SummaryCache.h"

#include "tests/TestSupport.h"
#include "tests/doc/ArchiveTestDays.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

using namespace archive_tests;
using testing_support::CTempDir;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {
const CSummaryLevels LEVELS{2.0, 5.0, 10};

std::vector<std::string> NamesOf(const std::vector<CDayFile>& files) {
    std::vector<std::string> names;
    for (const CDayFile& file : files) {
        names.push_back(file.strName);
    }
    return names;
}

// The summaries of a cache loaded afresh, for each file as it is now.
std::vector<bool> CachedNow(const std::string& strCache, const std::string& strFolder,
                            const std::vector<std::string>& paths) {
    CSummaryCache cache;
    cache.Load(strCache, strFolder, LEVELS);
    std::vector<bool> found;
    for (const std::string& strPath : paths) {
        const CDayFile file = DayFileOf(strPath);
        found.push_back(cache.Find(file.strName, file.nSize, file.nModified) != nullptr);
    }
    return found;
}
} // namespace

TEST(ArchiveScan, ListsTheDayFilesInDayOrderAndScansThemAlikeOnOneOrManyThreads) {
    CTempDir dir;
    const std::vector<std::string> names = {"2024-03-02.vks", "log20240301.VKS", "notes.vks",
                                            "20240229.vks",   "readme.txt",      "a.vks"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        WriteDay(dir.File(names[i]), MakeDay(static_cast<unsigned>(i), 20));
    }
    std::filesystem::create_directory(dir.File("folder.vks"));
    std::vector<CDayFile> files;
    ASSERT_TRUE(ListDayFiles(dir.Path(), &files).Ok());
    EXPECT_EQ(NamesOf(files), (std::vector<std::string>{"20240229.vks", "log20240301.VKS",
                                                        "2024-03-02.vks", "a.vks", "notes.vks"}));
    EXPECT_FALSE(ListDayFiles(dir.File("missing"), &files).Ok());

    // Many more files than workers, one that vanished and one that is no file at all.
    std::vector<CDayFile> many;
    ASSERT_TRUE(ListDayFiles(dir.Path(), &many).Ok());
    for (int i = 0; i < 3; ++i) {
        many.insert(many.end(), many.begin(), many.begin() + 5);
    }
    many.push_back(DayFileOf(dir.File("gone.vks")));
    many.push_back(DayFileOf(dir.File("folder.vks")));
    const std::vector<CDayScan> one = ScanDays(many, LEVELS, 1);
    const std::vector<CDayScan> four = ScanDays(many, LEVELS, 4);
    ASSERT_EQ(one.size(), many.size());
    ASSERT_EQ(four.size(), many.size());
    for (std::size_t i = 0; i < many.size(); ++i) {
        SCOPED_TRACE(many[i].strPath);
        EXPECT_EQ(four[i].nIndex, i);
        EXPECT_EQ(four[i].bRead, one[i].bRead);
        EXPECT_EQ(four[i].strError, one[i].strError);
        EXPECT_EQ(four[i].summary, one[i].summary);
        EXPECT_EQ(four[i].file.nSize, one[i].file.nSize);
    }
    EXPECT_TRUE(one[0].bRead);
    EXPECT_GT(one[0].summary.nReadings, 1000);
    EXPECT_EQ(one[many.size() - 2].strError, "File not found: " + dir.File("gone.vks"));
    EXPECT_FALSE(one.back().bRead);
}

TEST(ArchiveScan, CancelStopsBeforeTheNextFileAndEndIsHeardOnce) {
    CTempDir dir;
    std::vector<CDayFile> files;
    for (int i = 0; i < 40; ++i) {
        const std::string strPath = dir.File("day" + std::to_string(i) + ".vks");
        WriteDay(strPath, MakeDay(static_cast<unsigned>(i), 3, false));
        files.push_back(DayFileOf(strPath));
    }
    std::atomic<int> nDays{0};
    std::atomic<int> nEnds{0};
    std::atomic<bool> bCancelled{false};
    CArchiveScan scan;
    scan.Start(
        files, LEVELS, 2,
        [&](CDayScan) {
            if (++nDays == 3) {
                scan.Cancel();
            }
        },
        [&](bool b) {
            ++nEnds;
            bCancelled = b;
        });
    scan.Wait();
    EXPECT_EQ(nEnds.load(), 1);
    EXPECT_TRUE(bCancelled.load());
    EXPECT_GE(nDays.load(), 3);
    EXPECT_LE(nDays.load(), 4); // the other worker may have finished the file it had begun
    EXPECT_FALSE(scan.Running());
}

TEST(SummaryCache, UsedWhileNothingChangedAndForgottenForWhatChanged) {
    CTempDir dir;
    CTempDir cacheDir;
    const std::string strCache = cacheDir.File("cache");
    std::vector<std::string> paths;
    for (const char* pszName : {"20240101.vks", "20240102.vks", "20240103.vks", "20240104.vks"}) {
        paths.push_back(dir.File(pszName));
        WriteDay(paths.back(), MakeDay(7, 30));
    }
    std::vector<CDayFile> files;
    ASSERT_TRUE(ListDayFiles(dir.Path(), &files).Ok());
    CSummaryCache cache;
    EXPECT_FALSE(cache.Load(strCache, dir.Path(), LEVELS)); // none yet
    for (const CDayScan& day : ScanDays(files, LEVELS)) {
        cache.Put(day.file.strName, day.file.nSize, day.file.nModified, day.summary);
    }
    ASSERT_TRUE(cache.Save(strCache, dir.Path(), LEVELS).Ok());
    // Never beside the logger's files; the same folder however it is named.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);
    EXPECT_EQ(CSummaryCache::FileFor(strCache, dir.Path()),
              CSummaryCache::FileFor(strCache, dir.Path() + "/./"));
    EXPECT_EQ(CachedNow(strCache, dir.Path(), paths), (std::vector<bool>{true, true, true, true}));
    CSummaryCache loaded;
    ASSERT_TRUE(loaded.Load(strCache, dir.Path(), LEVELS));
    EXPECT_EQ(*loaded.Find(files[2].strName, files[2].nSize, files[2].nModified),
              ScanDays({files[2]}, LEVELS)[0].summary);

    // One grows, one shrinks, one is replaced by another of the same size.
    WriteFile(paths[0], ReadFile(paths[0]) + "23:59:59,1.000\n");
    WriteFile(paths[1], ReadFile(paths[1]).substr(0, 1000));
    const auto tBefore = std::filesystem::last_write_time(paths[2]);
    std::string strOther = ReadFile(paths[2]);
    strOther[10] = strOther[10] == '1' ? '2' : '1';
    WriteFile(dir.File("new.tmp"), strOther);
    std::filesystem::rename(dir.File("new.tmp"), paths[2]);
    std::filesystem::last_write_time(paths[2], tBefore + std::chrono::seconds(1));
    EXPECT_EQ(CachedNow(strCache, dir.Path(), paths),
              (std::vector<bool>{false, false, false, true}));

    // Other levels, and a folder's gone files forgotten.
    EXPECT_FALSE(loaded.Load(strCache, dir.Path(), {2.0, 6.0, 10}));
    ASSERT_TRUE(loaded.Load(strCache, dir.Path(), LEVELS));
    loaded.Retain({"20240104.vks"});
    EXPECT_EQ(loaded.Size(), 1U);
}

TEST(SummaryCache, ADamagedOrForeignCacheIsNeverTrusted) {
    CSummaryCache cache;
    CDaySummary day;
    day.nReadings = 5;
    day.hours[3].dMean = 1.25;
    cache.Put("20240101.vks", 100, 42, day);
    const std::string strGood = cache.Serialise("/data", LEVELS);
    CSummaryCache parsed;
    ASSERT_TRUE(parsed.Parse(strGood, "/data", LEVELS));
    EXPECT_EQ(*parsed.Find("20240101.vks", 100, 42), day);
    EXPECT_EQ(parsed.Find("20240101.vks", 101, 42), nullptr);
    EXPECT_EQ(parsed.Find("20240101.vks", 100, 43), nullptr);

    // Any byte changed, a cut, another folder or other levels: nothing is taken.
    for (std::size_t i = 0; i < strGood.size(); i += 7) {
        std::string strBad = strGood;
        strBad[i] = static_cast<char>(strBad[i] ^ 0x20);
        EXPECT_FALSE(parsed.Parse(strBad, "/data", LEVELS)) << i;
        EXPECT_EQ(parsed.Size(), 0U);
    }
    for (const std::size_t nCut : {std::size_t{0}, std::size_t{9}, strGood.size() - 1}) {
        EXPECT_FALSE(parsed.Parse(strGood.substr(0, nCut), "/data", LEVELS)) << nCut;
    }
    EXPECT_FALSE(parsed.Parse(strGood, "/other", LEVELS));
    EXPECT_FALSE(parsed.Parse(strGood, "/data", {2.0, 5.0, 11}));

    // Another format version, however sound its checksum.
    std::string strOld = strGood.substr(0, strGood.size() - 8);
    strOld[8] = static_cast<char>(SUMMARY_CACHE_VERSION + 1);
    std::uint64_t nHash = 14695981039346656037ULL;
    for (const char c : strOld) {
        nHash = (nHash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    for (int i = 0; i < 8; ++i) {
        strOld.push_back(static_cast<char>((nHash >> (8 * i)) & 0xFF));
    }
    EXPECT_FALSE(parsed.Parse(strOld, "/data", LEVELS));
    strOld[8] = static_cast<char>(SUMMARY_CACHE_VERSION);
    EXPECT_FALSE(parsed.Parse(strOld, "/data", LEVELS)); // the checksum no longer agrees
}
