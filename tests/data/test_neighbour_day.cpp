// The day before and after a day's file in its folder: by the date in the names, by name order for
// undated files, never a folder or a file of another kind.

#include "data/NeighbourDay.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testing_support;

TEST(NeighbourDay, StepsByTheDateInTheNameThenByNameOrder) {
    CTempDir dir;
    // Dates in both spellings, out of name order, with a gap and two files of one day.
    for (const char* pszName : {"field-2004-01-03.vks", "20040101.vks", "x20040105.VKS",
                                "b-20040103.vks", "notes.vks", "readme.txt", "20040102.csv"}) {
        WriteFile(dir.File(pszName), "00:00:00,0\n");
    }
    std::filesystem::create_directory(dir.File("20040104.vks")); // a folder is no day
    const auto next = [&](const std::string& strName, int nStep) {
        const std::string strPath = NeighbourDay(dir.File(strName), nStep);
        return strPath.empty() ? std::string("-") : strPath.substr(dir.Path().size() + 1);
    };
    EXPECT_EQ(next("20040101.vks", +1), "b-20040103.vks");
    EXPECT_EQ(next("b-20040103.vks", +1), "field-2004-01-03.vks");
    EXPECT_EQ(next("field-2004-01-03.vks", +1), "x20040105.VKS");
    EXPECT_EQ(next("x20040105.VKS", +1), "-");
    EXPECT_EQ(next("x20040105.VKS", -1), "field-2004-01-03.vks");
    EXPECT_EQ(next("b-20040103.vks", -1), "20040101.vks");
    EXPECT_EQ(next("20040101.vks", -1), "-");
    // The day in view need not exist any more: its neighbours are found all the same.
    EXPECT_EQ(next("20040102.vks", +1), "b-20040103.vks");
    // Undated files keep to their own kind.
    EXPECT_EQ(next("notes.vks", +1), "-");
    EXPECT_EQ(next("notes.vks", -1), "-");

    EXPECT_TRUE(IsLatestDay(dir.File("x20040105.VKS")));
    EXPECT_FALSE(IsLatestDay(dir.File("20040101.vks")));
}

TEST(NeighbourDay, UndatedFilesGoByNameIgnoringCase) {
    CTempDir dir;
    for (const char* pszName : {"alpha.vks", "Beta.vks", "gamma.vks"}) {
        WriteFile(dir.File(pszName), "");
    }
    EXPECT_EQ(NeighbourDay(dir.File("alpha.vks"), +1), dir.File("Beta.vks"));
    EXPECT_EQ(NeighbourDay(dir.File("gamma.vks"), -1), dir.File("Beta.vks"));
    EXPECT_EQ(NeighbourDay(dir.File("gamma.vks"), +1), "");
    // A relative name stays relative, in the caller's folder.
    const auto current = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    EXPECT_EQ(NeighbourDay("Beta.vks", +1), "gamma.vks");
    std::filesystem::current_path(current);
}
