// The loading window: its texts and fonts, the one paint it gets before the load goes on, its
// place over the owner, and the lives of window, object and fonts.

#include "tests/platform/test_dialogs_support.h"
#include "ui/LoadingDlg.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

using namespace dialog_tests;

namespace {

struct CLoadingDlgTest : CWindowFixture {};

QLabel* Label(CLoadingDlg& dlg, int nID) {
    CWnd* pItem = dlg.GetDlgItem(nID);
    return pItem != nullptr ? qobject_cast<QLabel*>(pItem->GetSafeHwnd()) : nullptr;
}

// Pixels clearly darker than the dialog background within rc (client coordinates of pWindow),
// as they reached the window's backing store.
int DarkPixels(QWidget* pWindow, const QRect& rc) {
    const QImage image = pWindow->screen()->grabWindow(pWindow->winId()).toImage();
    int nDark = 0;
    for (int y = rc.top(); y <= rc.bottom() && y < image.height(); ++y) {
        for (int x = rc.left(); x <= rc.right() && x < image.width(); ++x) {
            nDark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
    }
    return nDark;
}

TEST_F(CLoadingDlgTest, FontsAreTheTwoVerdanaCells) {
    CLoadingDlg dlg;
    struct CCase {
        const CFont* pFont;
        int nCell;
        int nWeight;
    };
    for (const CCase& c :
         {CCase{&dlg.m_fontTitle, 32, QFont::Bold}, CCase{&dlg.m_fontText, 24, QFont::Normal}}) {
        ASSERT_NE(c.pFont->GetSafeHandle(), nullptr);
        const QFont& font = *c.pFont->GetSafeHandle();
        EXPECT_EQ(font.weight(), c.nWeight);
        EXPECT_FALSE(font.italic());
        EXPECT_EQ(font.family(), ResolveFontFace("Verdana", QFont::SansSerif));
        // Cell height: ascent plus descent fill the cell, and a pixel more would not fit.
        const int nCellHeight = QFontMetrics(font).height();
        EXPECT_LE(nCellHeight, c.nCell);
        EXPECT_GE(nCellHeight, c.nCell - 2);
    }
}

TEST_F(CLoadingDlgTest, ShowMessagePutsTextsAndFontsInTheStatics) {
    CLoadingDlg dlg;
    ASSERT_TRUE(dlg.Create(CLoadingDlg::IDD));
    QLabel* pTitle = Label(dlg, IDC_LOADING_TITLE);
    QLabel* pText = Label(dlg, IDC_LOADING_TEXT);
    ASSERT_NE(pTitle, nullptr);
    ASSERT_NE(pText, nullptr);
    // Created hidden. The template says "-"; the dialog's initial data exchange has already
    // put the (empty) members there, as the framework's initialisation does.
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(pTitle->text(), QString());
    EXPECT_EQ(pText->text(), QString());

    dlg.ShowMessage("Please Wait...", "Loading data");
    EXPECT_EQ(dlg.m_strTitle, "Please Wait...");
    EXPECT_EQ(pTitle->text(), QStringLiteral("Please Wait..."));
    EXPECT_EQ(pText->text(), QStringLiteral("Loading data"));
    EXPECT_EQ(pTitle->font(), *dlg.m_fontTitle.GetSafeHandle());
    EXPECT_EQ(pText->font(), *dlg.m_fontText.GetSafeHandle());
    for (QLabel* pLabel : {pTitle, pText}) {
        EXPECT_EQ(pLabel->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
        EXPECT_EQ(pLabel->textFormat(), Qt::PlainText);
        EXPECT_FALSE(pLabel->wordWrap());
    }
    const CDialogUnits units(dlg.GetBaseUnits());
    EXPECT_EQ(pTitle->geometry(), units.ToPixels(7, 2, 262, 38));
    EXPECT_EQ(pText->geometry(), units.ToPixels(7, 51, 262, 33));

    // No caption, no system menu.
    EXPECT_TRUE(dlg.GetSafeHwnd()->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(dlg.GetSystemMenu(FALSE), nullptr);

    // Data exchange the other way reads what the statics hold.
    dlg.m_strTitle.clear();
    dlg.UpdateData(TRUE);
    EXPECT_EQ(dlg.m_strTitle, "Please Wait...");
}

TEST_F(CLoadingDlgTest, VisibleAndPaintedBeforeAnyEventIsProcessed) {
    CLoadingDlg dlg;
    ASSERT_TRUE(dlg.Create(CLoadingDlg::IDD));
    dlg.ShowMessage("Please Wait...", "Loading data");
    // Straight after the call, as the load would go on: no event loop has run here.
    QWidget* pWindow = dlg.GetSafeHwnd();
    EXPECT_TRUE(pWindow->isVisible());
    QLabel* pTitle = Label(dlg, IDC_LOADING_TITLE);
    QLabel* pText = Label(dlg, IDC_LOADING_TEXT);
    const QRect rcTitle(pTitle->mapTo(pWindow, QPoint(0, 0)), pTitle->size());
    const QRect rcText(pText->mapTo(pWindow, QPoint(0, 0)), pText->size());
    const QRect rcGap(rcTitle.left(), rcTitle.bottom() + 2, rcTitle.width(),
                      rcText.top() - rcTitle.bottom() - 4);
    EXPECT_GT(DarkPixels(pWindow, rcTitle), 100) << "title not painted";
    EXPECT_GT(DarkPixels(pWindow, rcText), 50) << "text not painted";
    EXPECT_EQ(DarkPixels(pWindow, rcGap), 0);
    // The bold title is the heavier line.
    EXPECT_GT(DarkPixels(pWindow, rcTitle), DarkPixels(pWindow, rcText));
}

TEST_F(CLoadingDlgTest, CentredOverTheMainWindowElseTheScreen) {
    auto pOwnerWidget = std::make_unique<QWidget>();
    pOwnerWidget->setGeometry(60, 80, 500, 300);
    pOwnerWidget->show();
    CWnd owner(pOwnerWidget.get());
    AfxSetMainWnd(&owner);

    auto* pDlg = new CLoadingDlg;
    ASSERT_TRUE(pDlg->Create(CLoadingDlg::IDD));
    EXPECT_EQ(pDlg->GetSafeHwnd()->parentWidget(), pOwnerWidget.get());
    pDlg->ShowMessage("Please Wait...", "Loading data");
    const QPoint ptOwner = pOwnerWidget->frameGeometry().center();
    const QPoint ptDlg = pDlg->GetSafeHwnd()->frameGeometry().center();
    EXPECT_LE((ptOwner - ptDlg).manhattanLength(), 2);
    pDlg->DestroyWindow();
    delete pDlg;

    // A hidden owner is no place to centre on: the screen's work area is.
    pOwnerWidget->hide();
    CLoadingDlg onScreen;
    ASSERT_TRUE(onScreen.Create(CLoadingDlg::IDD));
    onScreen.ShowMessage("Please Wait...", "Loading data");
    const QRect rcWork = onScreen.GetSafeHwnd()->screen()->availableGeometry();
    EXPECT_LE(
        (onScreen.GetSafeHwnd()->frameGeometry().center() - rcWork.center()).manhattanLength(), 2);
}

TEST_F(CLoadingDlgTest, FontsOutliveTheWindowAndGoWithTheObject) {
    const int nFontsBefore = CFont::GetLiveFontCount();
    auto* pDlg = new CLoadingDlg;
    EXPECT_EQ(CFont::GetLiveFontCount(), nFontsBefore + 2);
    ASSERT_TRUE(pDlg->Create(CLoadingDlg::IDD));
    pDlg->ShowMessage("Please Wait...", "Loading data");
    EXPECT_TRUE(pDlg->DestroyWindow());
    EXPECT_EQ(pDlg->GetSafeHwnd(), nullptr);
    EXPECT_NE(pDlg->m_fontTitle.GetSafeHandle(), nullptr);
    EXPECT_NE(pDlg->m_fontText.GetSafeHandle(), nullptr);
    EXPECT_EQ(CFont::GetLiveFontCount(), nFontsBefore + 2);
    delete pDlg;
    EXPECT_EQ(CFont::GetLiveFontCount(), nFontsBefore);
}

TEST_F(CLoadingDlgTest, ScopeShowsForTheLoadAndCleansUpOnEveryWayOut) {
    const int nFontsBefore = CFont::GetLiveFontCount();
    try {
        CLoadingScope scope("Please Wait...", "Loading data");
        ASSERT_NE(scope.Get()->GetSafeHwnd(), nullptr);
        EXPECT_TRUE(scope.Get()->IsWindowVisible());
        EXPECT_EQ(scope.Get()->m_strText, "Loading data");
        throw std::runtime_error("load failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(CFont::GetLiveFontCount(), nFontsBefore);
}

} // namespace
