#include "settings/ViewerPlacement.h"

#include <gtest/gtest.h>

TEST(CenteredIconPosition, TruncatesTowardZero) {
    const struct {
        int cw, ch, iw, ih, x, y;
    } cases[] = {
        {36, 36, 32, 32, 2, 2},
        {0, 0, 32, 32, -15, -15},
        {33, 34, 32, 32, 1, 1},
        {160, 24, 16, 16, 72, 4},
    };
    for (const auto& c : cases) {
        const CPointI pt = CenteredIconPosition(c.cw, c.ch, c.iw, c.ih);
        EXPECT_EQ(pt.nX, c.x) << c.cw << "x" << c.ch;
        EXPECT_EQ(pt.nY, c.y) << c.cw << "x" << c.ch;
    }
}

TEST(PlacementOnScreen, KeepsWhatAUserCanReachAndMendsTheRest) {
    const std::vector<CRectI> screens = {{0, 0, 1920, 1040}, {-1280, 0, 1280, 1024}};
    struct Case {
        CRectI saved;
        CRectI expected;
        const char* pszWhy;
    };
    const Case cases[] = {
        {{10, 10, 600, 400}, {10, 10, 600, 400}, "the first-run default"},
        {{-1200, 50, 800, 600}, {-1200, 50, 800, 600}, "on the monitor to the left"},
        {{1800, 500, 800, 600}, {1800, 500, 800, 600}, "mostly off the right edge, caption on"},
        {{5000, 5000, 800, 600}, {10, 10, 800, 600}, "off every screen"},
        {{100, -500, 800, 600}, {10, 10, 800, 600}, "caption above the screen"},
        {{100, 100, 0, 0}, {10, 10, 600, 400}, "no size (closed while minimised)"},
        {{100, 100, 600, -3}, {10, 10, 600, 400}, "negative height"},
        {{6000, 100, 4000, 3000}, {10, 10, 600, 400}, "off screen and larger than it"},
        {{1900, 100, 300, 200}, {10, 10, 300, 200}, "only 20 pixels of caption visible"},
    };
    for (const Case& c : cases) {
        const CRectI rc = PlacementOnScreen(c.saved, screens);
        EXPECT_EQ(rc.nLeft, c.expected.nLeft) << c.pszWhy;
        EXPECT_EQ(rc.nTop, c.expected.nTop) << c.pszWhy;
        EXPECT_EQ(rc.nWidth, c.expected.nWidth) << c.pszWhy;
        EXPECT_EQ(rc.nHeight, c.expected.nHeight) << c.pszWhy;
    }
}

TEST(PlacementOnScreen, HugeCoordinatesDoNotOverflow) {
    const std::vector<CRectI> screens = {{0, 0, 1920, 1080}};
    const CRectI rc = PlacementOnScreen({2147483600, 2147483600, 2147483647, 2147483647}, screens);
    EXPECT_EQ(rc.nLeft, 10);
    EXPECT_EQ(rc.nWidth, 600);
}
