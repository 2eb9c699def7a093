// The About box: its template on screen, and the four ways to close it.

#include "tests/platform/test_dialogs_support.h"
#include "ui/AboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace dialog_tests;

namespace {

struct CAboutDlgTest : CWindowFixture {};

TEST_F(CAboutDlgTest, ShowsItsTemplateItemsWhereTheTemplatePutsThem) {
    CAboutDlg dlg;
    bool bChecked = false;
    CScopedModalHook scoped([&](const CModalRequest& request) -> std::optional<CModalAnswer> {
        bChecked = true;
        EXPECT_EQ(request.strTitle, "About Quillon");
        EXPECT_EQ(request.nTemplateId, IDD_ABOUTBOX);
        QWidget* pWindow = dlg.GetSafeHwnd();
        EXPECT_EQ(pWindow->windowTitle(), QStringLiteral("About Quillon"));
        EXPECT_EQ(pWindow->minimumSize(), pWindow->maximumSize()) << "not a fixed frame";
        EXPECT_FALSE(pWindow->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

        const CDialogUnits units(dlg.GetBaseUnits());
        struct CItem {
            const char* pszText;
            QRect rcDialogUnits;
        };
        const CItem texts[] = {
            // The build's version, the one --version prints.
            {"Quillon Version " QUILLON_PROJECT_VERSION, {40, 10, 119, 8}},
            {"Copyright (C) Korvan Corp", {40, 31, 119, 8}},
            {"OK", {178, 7, 32, 14}},
            {"Electric Field Mill Data Viewer", {40, 20, 123, 8}},
        };
        EXPECT_EQ(dlg.GetItemCount(), 5);
        for (int i = 0; i < 4; ++i) {
            CWnd* pItem = dlg.GetItem(i);
            EXPECT_EQ(pItem->GetWindowText(), texts[i].pszText);
            const QRect& rc = texts[i].rcDialogUnits;
            EXPECT_EQ(pItem->GetSafeHwnd()->geometry(),
                      units.ToPixels(rc.x(), rc.y(), rc.width(), rc.height()))
                << texts[i].pszText;
            EXPECT_TRUE(pItem->GetSafeHwnd()->isVisible());
        }
        EXPECT_LE(dlg.GetItem(0)->GetSafeHwnd()->sizeHint().width(),
                  dlg.GetItem(0)->GetSafeHwnd()->width())
            << "the version is cut off";
        // The three lines read top to bottom: name, description, maker.
        EXPECT_LT(dlg.GetItem(0)->GetSafeHwnd()->y(), dlg.GetItem(3)->GetSafeHwnd()->y());
        EXPECT_LT(dlg.GetItem(3)->GetSafeHwnd()->y(), dlg.GetItem(1)->GetSafeHwnd()->y());

        auto* pOk = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK)->GetSafeHwnd());
        EXPECT_TRUE(pOk != nullptr && pOk->isDefault());

        // The icon at the left, at the icon's own size.
        auto* pIcon = qobject_cast<QLabel*>(dlg.GetItem(4)->GetSafeHwnd());
        EXPECT_TRUE(pIcon != nullptr && !pIcon->pixmap().isNull());
        EXPECT_EQ(dlg.GetItem(4)->GetSafeHwnd()->geometry(),
                  QRect(units.ToPixels(11, 11, 0, 0).topLeft(), QSize(32, 32)));
        return CModalAnswer{IDOK, {}, false};
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(bChecked);
}

TEST_F(CAboutDlgTest, ClosedByOkEnterEscAndTheCloseBox) {
    struct CCase {
        const char* pszWay;
        void (*drive)(CAboutDlg&);
        INT_PTR nExpected;
    };
    const CCase cases[] = {
        {"click OK",
         [](CAboutDlg& dlg) {
             QTest::mouseClick(dlg.GetDlgItem(IDOK)->GetSafeHwnd(), Qt::LeftButton);
         },
         IDOK},
        {"Enter", [](CAboutDlg& dlg) { QTest::keyClick(dlg.GetSafeHwnd(), Qt::Key_Return); }, IDOK},
        {"Esc", [](CAboutDlg& dlg) { QTest::keyClick(dlg.GetSafeHwnd(), Qt::Key_Escape); },
         IDCANCEL},
        {"close box", [](CAboutDlg& dlg) { dlg.GetSafeHwnd()->close(); }, IDCANCEL},
    };
    for (const CCase& c : cases) {
        CAboutDlg dlg;
        CScopedModalHook scoped([&](const CModalRequest&) -> std::optional<CModalAnswer> {
            c.drive(dlg);
            // Reached only when the way did not end the box.
            return CModalAnswer{99, {}, false};
        });
        EXPECT_EQ(dlg.DoModal(), c.nExpected) << c.pszWay;
        EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << c.pszWay;
    }
}

} // namespace
