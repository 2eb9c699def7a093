// CDialog: windows built from templates, the routing of commands, system commands, close,
// size and paint to the handlers, modal and modeless lives, and the quit request.

#include "platform/Dialog.h"
#include "platform/Resources.h"
#include "res/Resource.h"
#include "tests/platform/test_dialogs_support.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <QWindow>

#include <functional>
#include <string>
#include <vector>

using namespace dialog_tests;

namespace {

// A stand-in for the main window: template 146, a hosted chart widget, every handler recorded.
class CViewerLike : public CDialog {
public:
    CViewerLike() : CDialog(IDD_VIEWER_DIALOG) {}

    struct CSize {
        UINT nType;
        int cx;
        int cy;
        bool bChartExists;
    };
    std::vector<std::string> m_log;
    std::vector<CSize> m_sizes;
    QWidget* m_pChart = nullptr;
    bool m_bDestroyOnCommand = false;

protected:
    QWidget* CreateCustomControl(int nID, const std::string& strClass, QWidget* pParent) override {
        m_log.push_back("create " + std::to_string(nID) + " " + strClass);
        m_pChart = new QWidget(pParent);
        return m_pChart;
    }
    BOOL OnInitDialog() override {
        m_log.push_back(GetDlgItem(IDC_STRIPCHART) != nullptr ? "init with chart" : "init");
        return CDialog::OnInitDialog();
    }
    BOOL OnCommand(UINT nID) override {
        m_log.push_back("command " + std::to_string(nID));
        if (nID == ID_FILE_EXIT) {
            EndDialog(0);
            return TRUE;
        }
        if (m_bDestroyOnCommand) {
            DestroyWindow();
            return TRUE;
        }
        return CDialog::OnCommand(nID);
    }
    void OnSysCommand(UINT nID) override {
        m_log.push_back("syscommand " + std::to_string(nID));
        CDialog::OnSysCommand(nID);
    }
    void OnClose() override {
        m_log.push_back("close");
        CDialog::OnClose();
    }
    void OnSize(UINT nType, int cx, int cy) override {
        m_sizes.push_back({nType, cx, cy, GetDlgItem(IDC_STRIPCHART) != nullptr});
    }
    BOOL OnEraseBkgnd(QPainter& /*dc*/) override {
        m_log.push_back("erase");
        return TRUE;
    }
    void OnPaint(QPainter& /*dc*/) override { m_log.push_back("paint"); }
    void OnDestroy() override { m_log.push_back("destroy"); }
};

struct CDialogWindowTest : CWindowFixture {
    CViewerLike dlg;
    QRect ClientFromTemplate(int cx, int cy) const {
        return CDialogUnits(dlg.GetBaseUnits()).ToPixels(0, 0, cx, cy);
    }
};

TEST_F(CDialogWindowTest, WindowIsBuiltFromTheTemplate) {
    ASSERT_TRUE(dlg.Create(IDD_VIEWER_DIALOG));
    QWidget* pWindow = dlg.GetSafeHwnd();
    ASSERT_NE(pWindow, nullptr);
    // WS_VISIBLE in the template: shown once set up.
    EXPECT_TRUE(pWindow->isVisible());
    EXPECT_EQ(dlg.m_log.front(), "create 1021 QuillonStripChart");
    EXPECT_EQ(dlg.m_log.at(1), "init with chart");

    // The size notification that comes with the window arrives before the chart exists.
    ASSERT_FALSE(dlg.m_sizes.empty());
    const QRect rcClient = ClientFromTemplate(588, 318);
    EXPECT_EQ(dlg.m_sizes.front().nType, SIZE_RESTORED);
    EXPECT_EQ(dlg.m_sizes.front().cx, rcClient.width());
    EXPECT_EQ(dlg.m_sizes.front().cy, rcClient.height());
    EXPECT_FALSE(dlg.m_sizes.front().bChartExists);

    RECT rc{};
    dlg.GetClientRect(&rc);
    EXPECT_EQ(rc.right - rc.left, rcClient.width());
    EXPECT_EQ(rc.bottom - rc.top, rcClient.height());
    // The menu bar comes on top of the client area.
    ASSERT_NE(dlg.GetMenuBar(), nullptr);
    EXPECT_GE(pWindow->height(), rcClient.height() + dlg.GetMenuBar()->height());

    // The chart takes the rectangle its template item reserves.
    ASSERT_NE(dlg.GetDlgItem(IDC_STRIPCHART), nullptr);
    EXPECT_EQ(dlg.GetDlgItem(IDC_STRIPCHART)->GetSafeHwnd(), dlg.m_pChart);
    EXPECT_EQ(dlg.m_pChart->geometry(), ClientFromTemplate(582, 317));
    EXPECT_TRUE(dlg.m_pChart->isVisible());
    EXPECT_EQ(dlg.GetDlgItem(IDC_STRIPCHART)->GetDlgCtrlID(), IDC_STRIPCHART);

    // Resizable, with its own taskbar entry.
    EXPECT_NE(pWindow->minimumSize(), pWindow->maximumSize());
    EXPECT_EQ(pWindow->windowFlags() & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(dlg.DestroyWindow());
}

TEST_F(CDialogWindowTest, MenuCommandsReachOnCommandByNumber) {
    ASSERT_TRUE(dlg.Create(IDD_VIEWER_DIALOG));
    const QList<QAction*> top = dlg.GetMenuBar()->actions();
    ASSERT_EQ(top.size(), 5);
    EXPECT_EQ(top[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(top[1]->text(), QStringLiteral("&Edit"));
    EXPECT_EQ(top[2]->text(), QStringLiteral("&View"));
    EXPECT_EQ(top[3]->text(), QStringLiteral("&Go"));
    EXPECT_EQ(top[4]->text(), QStringLiteral("&Help"));
    // The File menu's own items in their order, the conveniences between them; About last.
    QStringList texts;
    for (const QAction* pItem : top[0]->menu()->actions() + top[4]->menu()->actions()) {
        texts << (pItem->isSeparator() ? QStringLiteral("-") : pItem->text());
    }
    EXPECT_EQ(texts, QStringList({"&Open...", "&Recent files", "&Export...", "-", "&Print...",
                                  "Print pre&view...", "&Landscape page", "-", "E&xit",
                                  "&Keys and mouse...", "&About Quillon..."}));
    for (QAction* pItem : top[0]->menu()->actions() + top[4]->menu()->actions()) {
        EXPECT_TRUE(pItem->isEnabled());
        EXPECT_TRUE(pItem->shortcut().isEmpty()) << "keys come with the accelerator table only";
    }
    // The table puts each key beside its item, where the menu shows it.
    EXPECT_FALSE(dlg.LoadAccelTable(12345));
    ASSERT_TRUE(dlg.LoadAccelTable(IDR_MAINFRAME));
    const std::pair<UINT, const char*> keys[] = {
        {ID_FILE_OPEN, "Ctrl+O"},
        {ID_FILE_PRINT, "Ctrl+P"},
        {ID_FILE_EXIT, "Ctrl+Q"},
        {ID_APP_ABOUT, "F1"},
        {ID_FILE_EXPORT, "Ctrl+E"},
        {ID_EDIT_COPY_CHART, "Ctrl+C"},
        {ID_EDIT_COPY_READOUT, "Ctrl+Shift+C"},
        {ID_GO_PREVIOUS_DAY, "PgUp"},
        {ID_GO_NEXT_DAY, "PgDown"},
    };
    for (const auto& [nID, pszKeys] : keys) {
        EXPECT_EQ(dlg.FindMenuCommand(nID)->shortcut(), QKeySequence(QString::fromLatin1(pszKeys)))
            << nID;
    }

    dlg.FindMenuCommand(ID_FILE_OPEN)->trigger();
    dlg.FindMenuCommand(ID_FILE_PRINT)->trigger();
    EXPECT_EQ(dlg.FindMenuCommand(12345), nullptr);
    EXPECT_EQ(dlg.m_log.back(), "command 32773");
    EXPECT_EQ(dlg.m_log.at(dlg.m_log.size() - 2), "command 32772");
    dlg.DestroyWindow();
}

TEST_F(CDialogWindowTest, SystemMenuCarriesWindowCommandsAndAppendedEntries) {
    ASSERT_TRUE(dlg.Create(IDD_VIEWER_DIALOG));
    CMenu* pMenu = dlg.GetSystemMenu(FALSE);
    ASSERT_NE(pMenu, nullptr);
    const int nDefault = pMenu->GetMenuItemCount();
    EXPECT_EQ(pMenu->GetMenuItemID(nDefault - 1), SC_CLOSE);
    pMenu->AppendMenu(MF_SEPARATOR);
    pMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, "&About Quillon...");
    ASSERT_EQ(pMenu->GetMenuItemCount(), nDefault + 2);
    EXPECT_EQ(pMenu->GetMenuItemID(nDefault), 0U);
    EXPECT_EQ(pMenu->GetMenuItemID(nDefault + 1), IDM_ABOUTBOX);
    EXPECT_EQ(pMenu->GetMenuString(nDefault + 1), "&About Quillon...");

    pMenu->GetSafeHmenu()->actions().at(nDefault + 1)->trigger();
    EXPECT_EQ(dlg.m_log.back(), "syscommand 16");

    // Where the window manager has no system menu to extend, the window's pop-up is it.
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(105, 105));
    QCoreApplication::sendEvent(dlg.GetSafeHwnd(), &event);
    EXPECT_TRUE(pMenu->GetSafeHmenu()->isVisible());
    pMenu->GetSafeHmenu()->hide();

    // Close from the system menu goes the way of the close box.
    dlg.SendSysCommand(SC_CLOSE);
    EXPECT_EQ(dlg.m_log.back(), "command 2");
    EXPECT_FALSE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
}

TEST_F(CDialogWindowTest, SizePaintAndCloseReachTheirHandlers) {
    ASSERT_TRUE(dlg.Create(IDD_VIEWER_DIALOG));
    dlg.SetIcon(LoadIcon(IDR_MAINFRAME), ICON_BIG);
    EXPECT_FALSE(dlg.GetSafeHwnd()->windowIcon().isNull());

    // The outer rectangle in, the outer rectangle out; the handler sees the client size.
    dlg.MoveWindow(40, 30, 700, 450);
    RECT rcWindow{};
    dlg.GetWindowRect(&rcWindow);
    EXPECT_EQ(rcWindow.left, 40);
    EXPECT_EQ(rcWindow.top, 30);
    EXPECT_EQ(rcWindow.right - rcWindow.left, 700);
    EXPECT_EQ(rcWindow.bottom - rcWindow.top, 450);
    RECT rcClient{};
    dlg.GetClientRect(&rcClient);
    ASSERT_FALSE(dlg.m_sizes.empty());
    EXPECT_EQ(dlg.m_sizes.back().nType, SIZE_RESTORED);
    EXPECT_EQ(dlg.m_sizes.back().cx, rcClient.right);
    EXPECT_EQ(dlg.m_sizes.back().cy, rcClient.bottom);
    EXPECT_TRUE(dlg.m_sizes.back().bChartExists);

    dlg.ShowWindow(SW_SHOWMAXIMIZED);
    EXPECT_EQ(dlg.m_sizes.back().nType, SIZE_MAXIMIZED);
    dlg.ShowWindow(SW_MINIMIZE);
    EXPECT_EQ(dlg.m_sizes.back().nType, SIZE_MINIMIZED);
    EXPECT_EQ(dlg.m_sizes.back().cx, 0);
    dlg.ShowWindow(SW_RESTORE);
    EXPECT_EQ(dlg.m_sizes.back().nType, SIZE_RESTORED);

    dlg.m_log.clear();
    dlg.UpdateWindow();
    ASSERT_GE(dlg.m_log.size(), 2U);
    EXPECT_EQ(dlg.m_log[dlg.m_log.size() - 2], "erase");
    EXPECT_EQ(dlg.m_log.back(), "paint");

    // The close box: OnClose, whose default is the Cancel command.
    dlg.m_log.clear();
    dlg.GetSafeHwnd()->close();
    EXPECT_EQ(dlg.m_log, (std::vector<std::string>{"close", "command 2"}));
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_log.back(), "destroy");
}

TEST_F(CDialogWindowTest, ModalRunPassesTheSeamAndEndsWithTheEndCode) {
    CRecordingHook hook;
    bool bVisibleInHook = false;
    CScopedModalHook scoped([&](const CModalRequest& request) -> std::optional<CModalAnswer> {
        hook.m_requests.push_back(request);
        bVisibleInHook = request.pDialog->IsWindowVisible() != FALSE;
        // File > Exit while the dialog runs: its end code beats the answer.
        request.pDialog->SendCommand(ID_FILE_EXIT);
        return CModalAnswer{77, {}, false};
    });
    EXPECT_EQ(dlg.DoModal(), 0);
    ASSERT_EQ(hook.m_requests.size(), 1U);
    EXPECT_EQ(hook.m_requests[0].eKind, EModalKind::Dialog);
    EXPECT_EQ(hook.m_requests[0].nTemplateId, IDD_VIEWER_DIALOG);
    EXPECT_EQ(hook.m_requests[0].pDialog, &dlg);
    EXPECT_TRUE(bVisibleInHook);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);

    // Not ended by anyone: the answer is the result. The object can run again.
    CRecordingHook answering;
    answering.m_answer = CModalAnswer{77, {}, false};
    CScopedModalHook scoped2(answering.AsHook());
    EXPECT_EQ(dlg.DoModal(), 77);
}

TEST_F(CDialogWindowTest, EnterWithoutDefaultButtonIsOkAndEscIsCancel) {
    struct CCase {
        Qt::Key eKey;
        INT_PTR nExpected;
    };
    for (const CCase c : {CCase{Qt::Key_Return, IDOK}, CCase{Qt::Key_Escape, IDCANCEL}}) {
        CScopedModalHook scoped([&](const CModalRequest& request) -> std::optional<CModalAnswer> {
            QTest::keyClick(request.pDialog->GetSafeHwnd(), c.eKey);
            return CModalAnswer{99, {}, false};
        });
        EXPECT_EQ(dlg.DoModal(), c.nExpected);
    }
}

TEST_F(CDialogWindowTest, DestroyFromInsideAHandlerIsSafe) {
    ASSERT_TRUE(dlg.Create(IDD_VIEWER_DIALOG));
    dlg.m_bDestroyOnCommand = true;
    dlg.FindMenuCommand(ID_FILE_PRINT)->trigger();
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.GetDlgItem(IDC_STRIPCHART), nullptr);
    EXPECT_EQ(dlg.m_log.back(), "destroy");
    EXPECT_FALSE(dlg.DestroyWindow());
}

TEST_F(CDialogWindowTest, QuitRequestEndsTheRunningModalLoop) {
    CScopedModalHook scoped([](const CModalRequest&) -> std::optional<CModalAnswer> {
        // The real loop runs; the quit is posted from inside it, as after a message box.
        QTimer::singleShot(0, [] { PostQuitMessage(-1); });
        return CModalAnswer{0, {}, true};
    });
    EXPECT_EQ(dlg.DoModal(), -1);
    int nExitCode = 0;
    EXPECT_TRUE(PeekQuitMessage(&nExitCode));
    EXPECT_EQ(nExitCode, -1);
    // Once quitting, no modal run starts.
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST_F(CDialogWindowTest, OnlyARunWithAnOwnerIsModalAndEitherEndsFromItsLoop) {
    auto* pOwnerWidget = new QWidget;
    pOwnerWidget->show();
    CWnd owner(pOwnerWidget);
    struct CCase {
        const char* pszWhy;
        CWnd* pOwner;
        Qt::WindowModality eModality;
        std::function<void(CDialog&)> end; // from inside the running loop
        INT_PTR nResult;
    };
    const CCase cases[] = {
        // The main window: nothing to block, so the window manager must not hear "modal".
        {"no owner, closed", nullptr, Qt::NonModal, [](CDialog& d) { d.GetSafeHwnd()->close(); },
         IDCANCEL},
        {"no owner, destroyed", nullptr, Qt::NonModal, [](CDialog& d) { d.DestroyWindow(); }, -1},
        {"owned, closed", &owner, Qt::ApplicationModal,
         [](CDialog& d) { d.GetSafeHwnd()->close(); }, IDCANCEL},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszWhy);
        CDialog dlg(IDD_ABOUTBOX, c.pOwner);
        Qt::WindowModality eSeen = Qt::WindowModal;
        CScopedModalHook scoped([&](const CModalRequest& request) -> std::optional<CModalAnswer> {
            eSeen = request.pDialog->GetSafeHwnd()->windowHandle()->modality();
            QTimer::singleShot(0, pOwnerWidget, [&] { c.end(dlg); });
            return CModalAnswer{0, {}, true};
        });
        EXPECT_EQ(dlg.DoModal(), c.nResult);
        EXPECT_EQ(eSeen, c.eModality);
        EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    }
    delete pOwnerWidget;
}

TEST_F(CDialogWindowTest, ParentGoneTakesTheWindowWithIt) {
    auto* pOwnerWidget = new QWidget;
    pOwnerWidget->show();
    CWnd owner(pOwnerWidget);
    CDialog loading(IDD_LOADING, &owner);
    ASSERT_TRUE(loading.Create(IDD_LOADING));
    EXPECT_EQ(loading.GetSafeHwnd()->parentWidget(), pOwnerWidget);
    delete pOwnerWidget;
    EXPECT_EQ(loading.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(loading.DestroyWindow());
}

TEST_F(CDialogWindowTest, UnknownTemplateMakesNoWindow) {
    CDialog missing(999);
    EXPECT_FALSE(missing.Create(999));
    EXPECT_EQ(missing.DoModal(), -1);
}

} // namespace
