// The recent files in the settings key: newest first, at most eight, paths of any length, and a
// save that writes only the places it changed, so two viewers lose nothing of each other's.

#include "settings/RecentFiles.h"

#include "tests/platform/test_registry_support.h"

#include <string>
#include <vector>

using namespace testing_support;

namespace {
class RecentFilesTest : public CRegistryTest {
protected:
    // The list as the next run of the program finds it.
    static std::vector<std::string> Kept() {
        StartNextRun();
        CRecentFiles files;
        files.Load();
        return files.Paths();
    }
};
} // namespace

TEST_F(RecentFilesTest, NewestFirstEightAtMostAndLongPathsWhole) {
    CRecentFiles files;
    files.Load();
    EXPECT_TRUE(files.Paths().empty());
    const std::string strLong = "/data/" + std::string(600, 'x') + "/20040101.vks";
    files.Add(strLong);
    for (int i = 1; i <= 8; ++i) {
        files.Add("/data/day" + std::to_string(i) + ".vks");
    }
    files.Add("/data/day3.vks"); // opened again: to the top, not twice
    ASSERT_TRUE(files.Save().Ok());
    const std::vector<std::string> kept = Kept();
    ASSERT_EQ(kept.size(), 8u);
    EXPECT_EQ(kept.front(), "/data/day3.vks");
    EXPECT_EQ(kept[1], "/data/day8.vks");
    EXPECT_EQ(kept.back(), "/data/day1.vks") << "the long path was the ninth and dropped off";

    files.Add(strLong);
    EXPECT_TRUE(files.Remove("/data/day5.vks"));
    EXPECT_FALSE(files.Remove("/data/day5.vks"));
    ASSERT_TRUE(files.Save().Ok());
    const std::vector<std::string> again = Kept();
    ASSERT_EQ(again.size(), 7u);
    EXPECT_EQ(again.front(), strLong) << "a path longer than 255 bytes comes back whole";
}

TEST_F(RecentFilesTest, ASaveWritesOnlyThePlacesItChanged) {
    CRecentFiles first;
    first.Load();
    first.Add("/a.vks");
    first.Add("/b.vks");
    ASSERT_TRUE(first.Save().Ok()); // b, a
    CRecentFiles second;
    second.Load();
    second.Add("/a.vks"); // a, b: both places change
    ASSERT_TRUE(second.Save().Ok());
    first.Remove("/a.vks"); // b: place 2 empties, place 1 as first last saved it
    ASSERT_TRUE(first.Save().Ok());
    EXPECT_EQ(Kept(), (std::vector<std::string>{"/a.vks"}))
        << "place 1 is the second viewer's; the first emptied place 2";
}
