// Dialog units, window placement arithmetic, window styles and static texts: the pure parts.

#include "platform/Dialog.h"
#include "platform/DialogTemplate.h"
#include "platform/Font.h"
#include "platform/Resources.h"
#include "res/Resource.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cctype>
#include <map>

namespace {

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
    struct CCase {
        int a, b, c, expected;
    };
    const CCase cases[] = {
        {7, 6, 4, 11},     // 10.5
        {2, 13, 8, 3},     // 3.25
        {38, 13, 8, 62},   // 61.75
        {318, 13, 8, 517}, // 516.75
        {-7, 6, 4, -11},   // -10.5
        {7, -6, 4, -11},
        {7, 6, -4, -11},
        {5, 5, 0, -1},                  // no denominator
        {0x40000000, 4, 1, -1},         // does not fit
        {0x40000000, 4, 2, -1},         // 2^31: one past the largest
        {0x40000000, 4, 8, 0x20000000}, // a product beyond 32 bits is still exact
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
    }
}

TEST(DialogUnits, AverageWidthFollowsThePlatformRounding) {
    // (extent / 26 + 1) / 2 with integer steps: 337/26 = 12 -> 6; 338/26 = 13 -> 7.
    const std::pair<int, int> cases[] = {{311, 6}, {312, 6}, {337, 6}, {338, 7}, {353, 7}, {0, 0}};
    for (const auto& [nExtent, nWidth] : cases) {
        EXPECT_EQ(AverageCharWidthFromExtent(nExtent), nWidth) << nExtent;
    }
}

TEST(DialogUnits, TemplateRectanglesConvertPerCoordinate) {
    // The classic 8-point dialog font: 6 x 13.
    const CDialogUnits units(CDialogBaseUnits{6, 13});
    EXPECT_EQ(units.ToPixels(0, 0, 588, 318), QRect(0, 0, 882, 517));
    EXPECT_EQ(units.ToPixels(7, 2, 262, 38), QRect(11, 3, 393, 62));
    EXPECT_EQ(units.ToPixels(7, 51, 262, 33), QRect(11, 83, 393, 54));
    // A wider font makes a wider dialog of the same proportions in characters.
    const CDialogUnits wide(CDialogBaseUnits{7, 13});
    EXPECT_EQ(wide.ToPixels(178, 7, 32, 14), QRect(312, 11, 56, 23));
}

TEST(DialogUnits, BaseUnitsComeFromTheFontMetrics) {
    const QFont font = MakeDialogFont("MS Sans Serif", 8);
    // 8 points at 96 dpi: a character height of 11 pixels, as the platform rounds it.
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_TRUE(QFontDatabase::hasFamily(QFontInfo(font).family()));
    const CDialogBaseUnits base = GetFontBaseUnits(font);
    const QFontMetrics metrics(font);
    EXPECT_EQ(base.nCy, metrics.ascent() + metrics.descent());
    const int nExtent = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(base.nCx, (nExtent / 26 + 1) / 2);
    // A sane dialog font: neither tiny nor huge.
    EXPECT_GE(base.nCx, 4);
    EXPECT_LE(base.nCx, 9);
}

TEST(DialogPlacement, CentredOverTheOwnerAndKeptOnTheWorkArea) {
    const QRect rcWork(0, 0, 1000, 800);
    struct CCase {
        QSize szWindow;
        QRect rcOver;
        QPoint expected;
    };
    const CCase cases[] = {
        {{200, 100}, {100, 100, 600, 400}, {300, 250}},
        {{201, 101}, {100, 100, 600, 400}, {300, 250}}, // odd sizes round toward the left/top
        {{200, 100}, rcWork, {400, 350}},               // no owner: the work area itself
        {{400, 300}, {800, 600, 300, 300}, {600, 500}}, // would stick out right and bottom
        {{400, 300}, {-200, -200, 100, 100}, {0, 0}},   // would stick out left and top
        {{1200, 900}, {100, 100, 600, 400}, {0, 0}},    // larger than the screen: top-left
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(CenteredPosition(c.szWindow, c.rcOver, rcWork), c.expected)
            << c.szWindow.width() << "x" << c.szWindow.height();
    }
}

TEST(DialogStyles, TemplateStylesBecomeWindowFlags) {
    const Qt::WindowFlags viewer =
        WindowFlagsForStyle(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT,
                            WS_EX_APPWINDOW);
    EXPECT_EQ(viewer & Qt::WindowType_Mask, Qt::Window); // a window of its own in the taskbar
    EXPECT_TRUE(viewer.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(viewer.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(viewer.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(viewer.testFlag(Qt::WindowCloseButtonHint));

    const Qt::WindowFlags about =
        WindowFlagsForStyle(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0);
    EXPECT_EQ(about & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(about.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(about.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(about.testFlag(Qt::WindowMaximizeButtonHint));

    const Qt::WindowFlags loading = WindowFlagsForStyle(WS_POPUP | DS_MODALFRAME | DS_SETFONT, 0);
    EXPECT_TRUE(loading.testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(loading.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(loading.testFlag(Qt::WindowCloseButtonHint));

    // WS_GROUP and WS_TABSTOP share their bits with the boxes: without a system menu they are
    // not boxes.
    const Qt::WindowFlags noMenu = WindowFlagsForStyle(WS_POPUP | WS_CAPTION | WS_GROUP, 0);
    EXPECT_FALSE(noMenu.testFlag(Qt::WindowMinimizeButtonHint));
}

TEST(StaticText, MnemonicPrefixIsHiddenUnlessDoubled) {
    const std::pair<const char*, const char*> cases[] = {
        {"&About Quillon...", "About Quillon..."},
        {"Fish && Chips", "Fish & Chips"},
        {"trailing &", "trailing "},
        {"Quillon Version 1.3", "Quillon Version 1.3"},
        {"", ""},
    };
    for (const auto& [pszIn, pszOut] : cases) {
        EXPECT_EQ(StripMnemonicPrefix(pszIn), pszOut) << pszIn;
    }
}

TEST(Fonts, CellHeightIsTheFontsAscentPlusDescent) {
    for (const int nCell : {13, 24, 32, 48}) {
        QFont font(ResolveFontFace("Verdana", QFont::SansSerif));
        const int nPixels = PixelSizeForCellHeight(font, nCell);
        font.setPixelSize(nPixels);
        EXPECT_LE(QFontMetrics(font).height(), nCell);
        font.setPixelSize(nPixels + 1);
        EXPECT_GT(QFontMetrics(font).height(), nCell) << "not the largest size for " << nCell;
    }
}

TEST(Fonts, MissingFaceFallsBackToTheSystemsFaceOfItsFamily) {
    const QString strFace = ResolveFontFace("No Such Face 12345", QFont::SansSerif);
    EXPECT_TRUE(QFontDatabase::hasFamily(strFace)) << strFace.toStdString();
    EXPECT_EQ(ResolveFontFace("DejaVu Sans", QFont::Serif), QStringLiteral("DejaVu Sans"));
}

// Every item of a menu (and each entry of the menu bar) has a letter of its own, told apart
// without regard to case, so that Alt+letter reaches exactly one.
void ExpectOneItemPerMnemonic(const std::vector<CMenuItemTemplate>& items) {
    std::map<char, std::string> taken;
    for (const CMenuItemTemplate& item : items) {
        if (item.IsSeparator()) {
            continue;
        }
        std::size_t nAt = item.strText.find('&');
        while (nAt != std::string::npos && item.strText.compare(nAt, 2, "&&") == 0) {
            nAt = item.strText.find('&', nAt + 2); // "&&" shows an ampersand
        }
        ASSERT_LT(nAt + 1, item.strText.size()) << item.strText << " has no mnemonic";
        const char c = static_cast<char>(std::tolower(item.strText[nAt + 1]));
        EXPECT_TRUE(taken.emplace(c, item.strText).second)
            << item.strText << " shares its mnemonic with " << taken[c];
        if (item.IsPopup()) {
            ExpectOneItemPerMnemonic(item.popup);
        }
    }
}

TEST(Resources, NoTwoItemsOfAMenuShareAMnemonic) {
    const CMenuTemplate* pMenu = FindMenuTemplate(IDR_MAINMENU);
    ASSERT_NE(pMenu, nullptr);
    ExpectOneItemPerMnemonic(pMenu->items);
}

TEST(Resources, LookUpsOfUnknownNumbersGiveNothing) {
    EXPECT_EQ(LoadString(0xE000), "");
    EXPECT_EQ(LoadString(101), "&About Quillon...");
    EXPECT_EQ(FindDialogTemplate(999), nullptr);
    EXPECT_EQ(FindMenuTemplate(146), nullptr);
}

} // namespace
