// The main window on screen: its set-up, system commands, the ways it ends and what each keeps of
// its placement, the minimised paint, and File > Open. Every run goes through the modal seam, with
// a real hive in a private XDG_CONFIG_HOME.

#include "doc/EarlyDay.h"
#include "platform/PrintDialog.h"
#include "platform/Resources.h"
#include "settings/ViewOptions.h"
#include "tests/ui/test_viewer_support.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QWindow>

#include <cstring>
#include <filesystem>

using namespace viewer_tests;
using testing_support::CChartCall;

namespace {

// Saves the view options with the status bar off, as a user who turned it off left them.
void HideStatusBar() {
    CViewOptions options;
    options.Load();
    options.m_bStatusBar = false;
    ASSERT_TRUE(options.Save().Ok());
}

struct CViewerDlgTest : CViewerFixture {
    std::string m_strDay;
    void SetUp() override {
        CViewerFixture::SetUp();
        m_strDay = DayFile();
        NextRun();
    }
    // A new process started on the day file.
    void NextRun() {
        NewRun();
        m_strStartFile = m_strDay;
    }
};

struct CWindowPlace {
    RECT rcOuter{};
    QSize szClient;
};

CWindowPlace PlaceOf(const CViewerDlg& dlg) {
    CWindowPlace place;
    dlg.GetWindowRect(&place.rcOuter);
    RECT rc{};
    dlg.GetClientRect(&rc);
    place.szClient = QSize(rc.right - rc.left, rc.bottom - rc.top);
    return place;
}

void ExpectSamePlace(const CWindowPlace& actual, const CWindowPlace& expected, const char* pszWhy) {
    EXPECT_EQ(actual.rcOuter.left, expected.rcOuter.left) << pszWhy;
    EXPECT_EQ(actual.rcOuter.top, expected.rcOuter.top) << pszWhy;
    EXPECT_EQ(actual.rcOuter.right, expected.rcOuter.right) << pszWhy;
    EXPECT_EQ(actual.rcOuter.bottom, expected.rcOuter.bottom) << pszWhy;
    EXPECT_EQ(actual.szClient, expected.szClient) << pszWhy;
}

int StoredInt(const char* pszName) {
    const auto value = ReadStoredValue(SETTINGS_KEY, pszName);
    if (!value || value->dwType != REG_BINARY || value->strData.size() != 4) {
        ADD_FAILURE() << pszName << " is not a 4-byte REG_BINARY value";
        return 0;
    }
    int n = 0;
    std::memcpy(&n, value->strData.data(), 4); // little-endian, as stored
    return n;
}

// A key pressed in the window as a user presses it: the window active, the key to its focus.
void PressKeys(CViewerDlg& viewer, QKeyCombination keys) {
    QWidget* pWindow = viewer.GetSafeHwnd();
    pWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pWindow));
    QWidget* pFocus =
        QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : pWindow;
    QTest::keyClick(pFocus, keys.key(), keys.keyboardModifiers());
}

void SavePlacement(int nX, int nY, int nWidth, int nHeight) {
    CViewerSettings settings;
    settings.m_nWindowX = nX;
    settings.m_nWindowY = nY;
    settings.m_nWindowWidth = nWidth;
    settings.m_nWindowHeight = nHeight;
    (void)settings.SavePlacement();
}

} // namespace

// ---- Set-up ------------------------------------------------------------------------------------

TEST_F(CViewerDlgTest, SetUpGivesTitleSystemMenuIconsAndThe36ChartWritesInOrder) {
    struct CWrite {
        ChartId id;
        VARTYPE vt;
        double dValue;
        const char* pszText;
    };
    const CWrite expected[] = {
        {ChartId::TraceColour, VT_I4, 0xFFFF00, nullptr},
        {ChartId::Kept21, VT_I4, 3, nullptr},
        {ChartId::Kept88, VT_I4, 1, nullptr},
        {ChartId::PointCapacity, VT_I4, 172800, nullptr},
        {ChartId::BackColour, VT_I4, 0, nullptr},
        {ChartId::StockBackColor, VT_I4, 0, nullptr},
        {ChartId::AxisColour, VT_I4, 0xFFFFFF, nullptr},
        {ChartId::TextColour, VT_I4, 0xFFFFFF, nullptr},
        {ChartId::Kept81, VT_I2, 8, nullptr},
        {ChartId::GridColour, VT_I4, 0x808080, nullptr},
        {ChartId::Kept70, VT_I2, 0, nullptr},
        {ChartId::Kept2, VT_I4, 0, nullptr},
        {ChartId::Kept1, VT_I4, 0, nullptr},
        {ChartId::Kept26, VT_I2, 20, nullptr},
        {ChartId::Kept27, VT_I2, 4, nullptr},
        {ChartId::Kept111, VT_BOOL, 0, nullptr},
        {ChartId::Kept23, VT_I2, 2, nullptr},
        {ChartId::FormatSeconds, VT_BSTR, 0, "%H:%M:%S"},
        {ChartId::FormatMinutes, VT_BSTR, 0, "%H:%M"},
        {ChartId::FormatHours, VT_BSTR, 0, "%H:%M"},
        {ChartId::FormatDays, VT_BSTR, 0, "%m/%d/%y"},
        {ChartId::FormatMonths, VT_BSTR, 0, "%b,%y"},
        {ChartId::FormatYears, VT_BSTR, 0, "%Y"},
        {ChartId::FormatWeeks, VT_BSTR, 0, ""},
        {ChartId::Kept4, VT_I2, 0, nullptr},
        {ChartId::Kept1, VT_I4, 0, nullptr},
        {ChartId::Kept2, VT_I4, 0, nullptr},
        {ChartId::Kept3, VT_I2, 0, nullptr},
        {ChartId::PlotTop, VT_R8, 0.04, nullptr},
        {ChartId::PlotBottom, VT_R8, 0.91, nullptr},
        {ChartId::PlotLeft, VT_R8, 0.06, nullptr},
        {ChartId::PlotRight, VT_R8, 0.97, nullptr},
        {ChartId::LabelSelect, VT_I2, 0, nullptr},
        {ChartId::LabelColour, VT_I4, 0xFFFFFF, nullptr},
        {ChartId::LabelSelect, VT_I2, 1, nullptr},
        {ChartId::LabelColour, VT_I4, 0xFFFFFF, nullptr},
    };
    static_assert(std::size(expected) == 36);

    CRecordedViewerDlg dlg(Context());
    std::vector<CChartCall> setUp;
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_NE(dlg.m_pTap, nullptr);
        setUp = dlg.m_pTap->m_calls; // everything the chart got before the window ran
        EXPECT_EQ(viewer.GetWindowText(), m_strStartFile);
        // Nothing to block: the window manager must not be told it is modal.
        EXPECT_EQ(viewer.GetSafeHwnd()->windowHandle()->modality(), Qt::NonModal);
        EXPECT_EQ(viewer.GetIcon(ICON_BIG), LoadIcon(IDR_MAINFRAME));
        EXPECT_EQ(viewer.GetIcon(ICON_SMALL), LoadIcon(IDR_MAINFRAME));
        CMenu* pMenu = viewer.GetSystemMenu(FALSE);
        ASSERT_NE(pMenu, nullptr);
        const int nCount = pMenu->GetMenuItemCount();
        ASSERT_GE(nCount, 2);
        EXPECT_EQ(pMenu->GetMenuItemID(nCount - 2), 0U) << "a separator before About";
        EXPECT_EQ(pMenu->GetMenuItemID(nCount - 1), IDM_ABOUTBOX);
        EXPECT_EQ(pMenu->GetMenuString(nCount - 1), "&About Quillon...");
        // The chart fills the client area above the status bar.
        RECT rc{};
        viewer.GetClientRect(&rc);
        ASSERT_NE(viewer.GetChart(), nullptr);
        const QStatusBar* pStatus = viewer.GetSafeHwnd()->findChild<QStatusBar*>();
        ASSERT_NE(pStatus, nullptr);
        EXPECT_EQ(viewer.GetChart()->geometry(),
                  QRect(0, 0, rc.right, rc.bottom - pStatus->height()));
        EXPECT_EQ(pStatus->geometry().bottom(), rc.bottom - 1);
        EXPECT_TRUE(LoadedAtStartup(viewer));
    });

    ASSERT_EQ(setUp.size(), std::size(expected));
    for (std::size_t i = 0; i < setUp.size(); ++i) {
        const CChartCall& call = setUp[i];
        const CWrite& w = expected[i];
        SCOPED_TRACE("write " + std::to_string(i + 1));
        EXPECT_EQ(call.dispid, DispidOf(w.id));
        EXPECT_EQ(call.wFlags, DISPATCH_PROPERTYPUT);
        ASSERT_EQ(call.args.size(), 1U);
        const VARIANT& var = call.args[0];
        ASSERT_EQ(var.vt, w.vt);
        switch (w.vt) {
        case VT_I4:
            EXPECT_EQ(var.lVal, static_cast<LONG>(w.dValue));
            break;
        case VT_I2:
            EXPECT_EQ(var.iVal, static_cast<SHORT>(w.dValue));
            break;
        case VT_BOOL:
            EXPECT_EQ(var.boolVal, VARIANT_FALSE);
            break;
        case VT_R8:
            EXPECT_EQ(var.dblVal, w.dValue); // the doubles nearest the decimals
            break;
        default:
            EXPECT_EQ(var.bstrVal, w.pszText);
            break;
        }
    }
}

TEST_F(CViewerDlgTest, TitleBarShowsThePathAsItIs) {
    for (const char* pszName : {"50%s of 100%d%n.vks", "a & b.vks", "copy [*] of day.vks"}) {
        SCOPED_TRACE(pszName);
        NewRun();
        m_strStartFile = DayFile(pszName);
        std::string strShown;
        CViewerDlg dlg(Context());
        RunViewer(dlg, [&](CViewerDlg& viewer) {
            EXPECT_EQ(viewer.GetWindowText(), m_strStartFile);
            // What the window manager puts in the title bar.
            strShown = viewer.GetSafeHwnd()->windowHandle()->title().toStdString();
            EXPECT_TRUE(LoadedAtStartup(viewer));
            viewer.SendCommand(ID_FILE_EXIT);
        });
        EXPECT_EQ(strShown, m_strStartFile);
    }
}

// ---- System commands ---------------------------------------------------------------------------

TEST_F(CViewerDlgTest, SystemCommandsAreMaskedToTheirGroup) {
    struct CCase {
        UINT nID;
        std::optional<EModalKind> eAsked; // nothing: the default handling, which asks nothing
    };
    const CCase cases[] = {
        {0x10, EModalKind::Dialog},
        {0x1F, EModalKind::Dialog},
        {0x20, std::nullopt},
        {0x2F, std::nullopt},
        {0x30, EModalKind::PrintDialog},
        {0x3A, EModalKind::PrintDialog},
        {0x40, std::nullopt},
    };
    CRecordedViewerDlg dlg(Context());
    const INT_PTR nResult = RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        const QRect rcBefore = viewer.GetSafeHwnd()->geometry();
        for (const CCase& c : cases) {
            SCOPED_TRACE(c.nID);
            m_script.m_requests.clear();
            dlg.m_pTap->m_calls.clear();
            viewer.SendSysCommand(c.nID);
            if (!c.eAsked) {
                EXPECT_TRUE(m_script.m_requests.empty());
            } else {
                ASSERT_EQ(m_script.m_requests.size(), 1U);
                const CModalRequest& request = m_script.m_requests[0];
                EXPECT_EQ(request.eKind, *c.eAsked);
                if (*c.eAsked == EModalKind::Dialog) {
                    EXPECT_EQ(request.nTemplateId, IDD_ABOUTBOX);
                    EXPECT_EQ(request.strTitle, "About Quillon");
                } else {
                    EXPECT_EQ(request.dwFlags & ~PD_RETURNDC, 0x14000CU);
                }
            }
            // The Print dialog was cancelled: the chart was not touched.
            EXPECT_TRUE(dlg.m_pTap->m_calls.empty());
            // The window carries on as it was.
            EXPECT_TRUE(viewer.IsWindowVisible());
            EXPECT_FALSE(viewer.IsIconic());
            EXPECT_EQ(viewer.GetSafeHwnd()->geometry(), rcBefore);
        }
        viewer.SendClose();
    });
    EXPECT_EQ(nResult, IDCANCEL);
}

// ---- The ways the window ends, and its placement -----------------------------------------------

TEST_F(CViewerDlgTest, FirstRunOpensAtTheDefaultPlacement) {
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        const CWindowPlace place = PlaceOf(viewer);
        EXPECT_EQ(place.rcOuter.left, 10);
        EXPECT_EQ(place.rcOuter.top, 10);
        const QSize szOuter(place.rcOuter.right - place.rcOuter.left,
                            place.rcOuter.bottom - place.rcOuter.top);
        const QSize szWindow = viewer.GetSafeHwnd()->size();
        EXPECT_TRUE(szOuter == QSize(600, 400) || szWindow == QSize(600, 400))
            << "outer " << szOuter.width() << "x" << szOuter.height() << ", window "
            << szWindow.width() << "x" << szWindow.height();
        EXPECT_TRUE(LoadedAtStartup(viewer));
        viewer.SendCommand(ID_FILE_EXIT);
    });
    // Set-up made the key; only a close writes the values.
    EXPECT_TRUE(KeyExists(SETTINGS_KEY));
    EXPECT_FALSE(ReadStoredValue(SETTINGS_KEY, WINDOW_X_VALUE));
}

TEST_F(CViewerDlgTest, OnlyClosingSavesThePlacementAndTheNextRunReopensThere) {
    struct CCase {
        const char* pszHow;
        std::function<void(CViewerDlg&)> end;
        INT_PTR nResult;
        bool bSaved;
    };
    const CCase cases[] = {
        {"close box", [](CViewerDlg& dlg) { dlg.SendClose(); }, IDCANCEL, true},
        {"system menu Close", [](CViewerDlg& dlg) { dlg.SendSysCommand(SC_CLOSE); }, IDCANCEL,
         true},
        {"File > Exit", [](CViewerDlg& dlg) { dlg.SendCommand(ID_FILE_EXIT); }, 0, false},
        {"Ctrl+Q", [](CViewerDlg& dlg) { PressKeys(dlg, Qt::CTRL | Qt::Key_Q); }, 0, false},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszHow);
        NextRun();
        SavePlacement(30, 40, 500, 350);
        const std::string strHiveBefore =
            testing_support::ReadFile(RegistryHivePath(HKEY_CURRENT_USER));
        NextRun();

        CWindowPlace closedAt;
        CViewerDlg dlg(Context());
        const INT_PTR nResult = RunViewer(dlg, [&](CViewerDlg& viewer) {
            ASSERT_TRUE(LoadedAtStartup(viewer));
            viewer.MoveWindow(60, 50, 640, 420);
            QCoreApplication::processEvents();
            closedAt = PlaceOf(viewer);
            c.end(viewer);
        });
        EXPECT_EQ(nResult, c.nResult);
        if (!c.bSaved) {
            EXPECT_EQ(testing_support::ReadFile(RegistryHivePath(HKEY_CURRENT_USER)),
                      strHiveBefore);
            continue;
        }
        EXPECT_EQ(StoredInt(WINDOW_X_VALUE), closedAt.rcOuter.left);
        EXPECT_EQ(StoredInt(WINDOW_Y_VALUE), closedAt.rcOuter.top);
        EXPECT_GT(StoredInt(WINDOW_WIDTH_VALUE), 0);
        EXPECT_GT(StoredInt(WINDOW_HEIGHT_VALUE), 0);

        NextRun();
        CViewerDlg next(Context());
        RunViewer(next, [&](CViewerDlg& viewer) {
            ExpectSamePlace(PlaceOf(viewer), closedAt, "reopened");
            EXPECT_TRUE(LoadedAtStartup(viewer));
            viewer.SendCommand(ID_FILE_EXIT);
        });
    }
}

TEST_F(CViewerDlgTest, ClosedMaximisedOrMinimisedKeepsTheRestoredSize) {
    struct CCase {
        const char* pszHow;
        void (QWidget::*pfnShow)();
        bool bCornerOfMaximised;
    };
    const CCase cases[] = {
        {"maximised", &QWidget::showMaximized, true},
        {"minimised", &QWidget::showMinimized, false},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszHow);
        NextRun();
        CWindowPlace restored;
        CWindowPlace closedAt;
        CViewerDlg dlg(Context());
        RunViewer(dlg, [&](CViewerDlg& viewer) {
            ASSERT_TRUE(LoadedAtStartup(viewer));
            viewer.MoveWindow(60, 50, 520, 380);
            QCoreApplication::processEvents();
            restored = PlaceOf(viewer);
            (viewer.GetSafeHwnd()->*c.pfnShow)();
            QCoreApplication::processEvents();
            closedAt = PlaceOf(viewer);
            viewer.SendClose();
        });
        NextRun();
        CViewerDlg next(Context());
        RunViewer(next, [&](CViewerDlg& viewer) {
            if (c.bCornerOfMaximised) {
                // Maximised again, over the size it is restored to.
                EXPECT_TRUE(viewer.IsZoomed());
                viewer.GetSafeHwnd()->showNormal();
                QCoreApplication::processEvents();
            }
            const CWindowPlace reopened = PlaceOf(viewer);
            EXPECT_EQ(reopened.szClient, restored.szClient) << "the size from before";
            if (c.bCornerOfMaximised) {
                // X and Y: the corner of the maximised window's rectangle, as the close read it.
                EXPECT_EQ(reopened.rcOuter.left, closedAt.rcOuter.left);
                EXPECT_EQ(reopened.rcOuter.top, closedAt.rcOuter.top);
            } else {
                ExpectSamePlace(reopened, restored, "restored from minimised");
            }
            EXPECT_TRUE(LoadedAtStartup(viewer));
            viewer.SendCommand(ID_FILE_EXIT);
        });
    }
}

TEST_F(CViewerDlgTest, EnterEscAndTheOkAndCancelCommandsLeaveTheWindowAsItWas) {
    CViewerDlg dlg(Context());
    const INT_PTR nResult = RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        for (const QKeyCombination keys :
             {QKeyCombination(Qt::Key_Return), QKeyCombination(Qt::Key_Enter),
              QKeyCombination(Qt::Key_Escape)}) {
            PressKeys(viewer, keys);
        }
        viewer.SendCommand(IDOK);
        viewer.SendCommand(IDCANCEL);
        QCoreApplication::processEvents();
        EXPECT_TRUE(viewer.IsWindowVisible());
        EXPECT_FALSE(ReadStoredValue(SETTINGS_KEY, WINDOW_X_VALUE)) << "nothing saved either";
        viewer.SendClose();
    });
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_TRUE(ReadStoredValue(SETTINGS_KEY, WINDOW_X_VALUE)) << "closing still saves";
}

TEST_F(CViewerDlgTest, KeysAndTheHelpMenuReachTheirCommands) {
    struct CCase {
        const char* pszHow;
        std::function<void(CViewerDlg&)> press;
        EModalKind eAsked;
    };
    const CCase cases[] = {
        {"Ctrl+O", [](CViewerDlg& dlg) { PressKeys(dlg, Qt::CTRL | Qt::Key_O); },
         EModalKind::FileDialog},
        {"Ctrl+P", [](CViewerDlg& dlg) { PressKeys(dlg, Qt::CTRL | Qt::Key_P); },
         EModalKind::PrintDialog},
        {"F1", [](CViewerDlg& dlg) { PressKeys(dlg, Qt::Key_F1); }, EModalKind::Dialog},
        {"Help > About Quillon...",
         [](CViewerDlg& dlg) { dlg.FindMenuCommand(ID_APP_ABOUT)->trigger(); }, EModalKind::Dialog},
    };
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        for (const CCase& c : cases) {
            SCOPED_TRACE(c.pszHow);
            m_script.m_requests.clear();
            c.press(viewer);
            ASSERT_EQ(m_script.m_requests.size(), 1U);
            EXPECT_EQ(m_script.m_requests[0].eKind, c.eAsked);
            if (c.eAsked == EModalKind::Dialog) {
                EXPECT_EQ(m_script.m_requests[0].nTemplateId, IDD_ABOUTBOX);
                EXPECT_EQ(m_script.m_requests[0].pOwner, viewer.GetSafeHwnd());
            }
            EXPECT_TRUE(viewer.IsWindowVisible());
        }
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

// ---- Size
// ----------------------------------------------------------------------------------------

// The window shrinks no further than a chart whose labels all stay legible, and at every size the
// chart covers the whole client area: nothing but the chart shows under the menu bar.
TEST_F(CViewerDlgTest, TheChartCoversTheClientAreaFromTheLegibleMinimumUp) {
    HideStatusBar(); // the window as it is without what exploring a day adds
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        CStripChart* pChart = viewer.GetChart();
        const QSize szLegible = pChart->Renderer().MinimumSize(pChart->State(), pChart);
        for (const QSize szAsked : {QSize(600, 400), QSize(120, 90), QSize(900, 640)}) {
            SCOPED_TRACE(std::to_string(szAsked.width()) + "x" + std::to_string(szAsked.height()));
            viewer.MoveWindow(10, 10, szAsked.width(), szAsked.height());
            QCoreApplication::processEvents();
            RECT rc{};
            viewer.GetClientRect(&rc);
            const QSize szClient(rc.right, rc.bottom);
            EXPECT_TRUE(szClient.width() >= szLegible.width() &&
                        szClient.height() >= szLegible.height());
            if (szAsked.width() < szLegible.width()) {
                EXPECT_EQ(szClient, szLegible) << "not shrunk to the legible minimum";
            }
            EXPECT_EQ(pChart->geometry(), QRect(QPoint(0, 0), szClient));
            // The window's own background shows nowhere at the client area's edges, and its
            // bottom row is the chart's black.
            const QImage shot = viewer.GetSafeHwnd()->grab().toImage();
            const QRgb rgbWindow = viewer.GetSafeHwnd()->palette().window().color().rgb();
            for (int x = 0; x < shot.width(); ++x) {
                ASSERT_EQ(shot.pixel(x, shot.height() - 1), qRgb(0, 0, 0)) << "bottom, at " << x;
            }
            for (int y = shot.height() - szClient.height(); y < shot.height(); ++y) {
                ASSERT_NE(shot.pixel(0, y), rgbWindow) << "left edge, at " << y;
                ASSERT_NE(shot.pixel(shot.width() - 1, y), rgbWindow) << "right edge, at " << y;
            }
        }
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

// A saved size the screen's work area cannot hold (saved under another scale factor, say) is cut
// to it, frame included, and the window moved into it; a saved size that fits is kept as it was.
TEST_F(CViewerDlgTest, ASavedSizeLargerThanTheWorkAreaIsCutToIt) {
    HideStatusBar(); // so that the legible minimum stays below the sizes asked for
    const QRect rcWork = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint ptSaved = rcWork.topLeft() + QPoint(100, 40);
    struct CCase {
        const char* pszWhy;
        QSize szSaved; // without the frame
        // The outer rectangle expected, given the size of the frame.
        std::function<QRect(QSize szFrame)> expected;
    };
    const CCase cases[] = {
        {"larger both ways", {3000, 2000}, [&](QSize) { return rcWork; }},
        {"too high only",
         {rcWork.width() * 2 / 3, 2000},
         [&](QSize szFrame) {
             return QRect(ptSaved.x(), rcWork.top(), rcWork.width() * 2 / 3 + szFrame.width(),
                          rcWork.height());
         }},
        {"fits",
         {500, 380},
         [&](QSize szFrame) { return QRect(ptSaved, QSize(500, 380) + szFrame); }},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszWhy);
        NextRun();
        SavePlacement(ptSaved.x(), ptSaved.y(), c.szSaved.width(), c.szSaved.height());
        NextRun();
        CViewerDlg dlg(Context());
        RunViewer(dlg, [&](CViewerDlg& viewer) {
            // Once on screen, where the frame is known.
            EXPECT_TRUE(LoadedAtStartup(viewer));
            QWidget* pWindow = viewer.GetSafeHwnd();
            const QSize szFrame = pWindow->frameGeometry().size() - pWindow->size();
            EXPECT_EQ(pWindow->frameGeometry(), c.expected(szFrame));
            viewer.SendCommand(ID_FILE_EXIT);
        });
    }
}

// ---- Paint -------------------------------------------------------------------------------------

TEST_F(CViewerDlgTest, MinimisedPaintShowsTheCentredIconAndNeverLoads) {
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        QWidget* pWindow = viewer.GetSafeHwnd();
        pWindow->showMinimized();
        QTest::qWait(50);
        ASSERT_TRUE(viewer.IsIconic());
        EXPECT_FALSE(viewer.m_bFirstPaintDone);
        EXPECT_TRUE(viewer.m_strDataPath.empty()) << "a minimised paint loaded the file";

        // The client area alone, as the paint leaves it (the chart is a child and not drawn).
        QWidget* pClient = viewer.GetChart()->parentWidget();
        QImage painted(pClient->size(), QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::magenta);
        pClient->render(&painted, QPoint(), QRegion(), QWidget::DrawWindowBackground);

        QImage expected(pClient->size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(pClient->palette().window().color());
        {
            QPainter painter(&expected);
            DrawIcon(painter, (pClient->width() - 32 + 1) / 2, (pClient->height() - 32 + 1) / 2,
                     viewer.m_hIcon);
        }
        QImage blank(pClient->size(), QImage::Format_ARGB32_Premultiplied);
        blank.fill(pClient->palette().window().color());
        ASSERT_NE(expected, blank) << "the icon draws nothing";
        EXPECT_EQ(painted, expected);

        // Restored: black, and the start-up load runs.
        pWindow->showNormal();
        ASSERT_TRUE(LoadedAtStartup(viewer));
        EXPECT_EQ(viewer.m_strDataPath, m_strStartFile);
        painted.fill(Qt::magenta);
        pClient->render(&painted, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        EXPECT_EQ(painted.pixelColor(painted.width() / 2, painted.height() / 2), QColor(Qt::black));
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

// The start-up file read ahead, as the program does while the toolkit starts: ready in time, its
// day is in the very frame of the first paint; a file that does not open ends the program as a
// failed load always has.
TEST_F(CViewerDlgTest, AnEarlyDayIsInTheFirstFrameAndAMissingOneEndsTheRun) {
    {
        CEarlyDay early(m_strStartFile, m_samples);
        ASSERT_TRUE(QTest::qWaitFor([&early] { return early.Ready(); }, 5000));
        CViewerContext context = Context();
        context.pEarlyDay = &early;
        CViewerDlg dlg(context);
        RunViewer(dlg, [&](CViewerDlg& viewer) {
            CStripChart* pChart = viewer.GetChart();
            const QImage first = pChart->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QRgb rgbTrace = QColorOf(pChart->State().crTrace).rgb();
            int nTrace = 0;
            for (int y = 0; y < first.height(); ++y) {
                for (int x = 0; x < first.width(); ++x) {
                    nTrace += first.pixel(x, y) == rgbTrace ? 1 : 0;
                }
            }
            EXPECT_GT(nTrace, 100) << "the first frame has no trace";
            EXPECT_EQ(pChart->State().points.size(), 24U * 60U);
            EXPECT_FALSE(early.Pending());
            EXPECT_EQ(viewer.GetWindowText(), m_strStartFile);
            ASSERT_TRUE(LoadedAtStartup(viewer));
            EXPECT_TRUE(m_script.Messages().empty());
            viewer.SendCommand(ID_FILE_EXIT);
        });
    }
    NextRun();
    m_strStartFile = m_data.File("gone.vks");
    CEarlyDay early(m_strStartFile, m_samples);
    CViewerContext context = Context();
    context.pEarlyDay = &early;
    CViewerDlg dlg(context);
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        EXPECT_TRUE(WaitForStartupLoad(viewer));
        EXPECT_TRUE(PeekQuitMessage());
        EXPECT_TRUE(viewer.GetChart()->State().points.empty());
    });
    EXPECT_EQ(m_script.Messages(), std::vector<std::string>{"File not found: " + m_strStartFile});
}

// ---- File > Open -------------------------------------------------------------------------------

TEST_F(CViewerDlgTest, FileOpenCancelledTouchesNothing) {
    CRecordedViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        const std::size_t nPoints = viewer.GetChart()->State().points.size();
        dlg.m_pTap->m_calls.clear();
        m_script.m_requests.clear();
        viewer.SendCommand(ID_FILE_OPEN);
        ASSERT_EQ(m_script.m_requests.size(), 1U);
        EXPECT_EQ(m_script.m_requests[0].eKind, EModalKind::FileDialog);
        EXPECT_EQ(m_script.m_requests[0].strTitle, "Open VKS Data File...");
        EXPECT_EQ(m_script.m_requests[0].pOwner, nullptr) << "the Open dialog has no owner";
        EXPECT_TRUE(dlg.m_pTap->m_calls.empty());
        EXPECT_EQ(viewer.GetChart()->State().points.size(), nPoints);
        EXPECT_EQ(viewer.m_strDataPath, m_strStartFile);
        EXPECT_EQ(viewer.GetWindowText(), m_strStartFile);
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

TEST_F(CViewerDlgTest, FileOpenLoadsAnotherFileAndNamesItInTheTitle) {
    const std::string strStartup = m_strStartFile;
    const std::string strOther = m_data.File("other.vks");
    testing_support::WriteFile(strOther, "01:00:00,1.0\n02:00:00,-3.0\n03:00:00,2.0\n");
    // Typed without its extension: the dialog adds ".vks".
    m_script.m_fileAnswers.push_back({IDOK, m_data.File("other"), false});
    CRecordedViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        dlg.m_pTap->m_calls.clear();
        viewer.SendCommand(ID_FILE_OPEN);
        // Method 127 first, then the new day.
        ASSERT_GE(dlg.m_pTap->m_calls.size(), 2U);
        EXPECT_EQ(dlg.m_pTap->m_calls[0].dispid, DispidOf(ChartId::ClearPoints));
        EXPECT_EQ(dlg.m_pTap->m_calls[1].dispid, DispidOf(ChartId::SetPoints));
        EXPECT_EQ(viewer.GetChart()->State().points.size(), 3U);
        EXPECT_EQ(viewer.m_strDataPath, strOther);
        EXPECT_EQ(viewer.GetWindowText(), strOther);
        EXPECT_TRUE(m_script.Messages().empty());
        viewer.SendCommand(ID_FILE_EXIT);
    });
    EXPECT_EQ(m_strStartFile, strStartup);
}

TEST_F(CViewerDlgTest, FailedFileOpenKeepsTheDayTheTitleAndThePrintCaption) {
    const std::string strStartup = m_strStartFile;
    const std::string strOther = m_data.File("other.vks");
    testing_support::WriteFile(strOther, "01:00:00,1.0\n02:00:00,-3.0\n03:00:00,2.5\n");
    const std::string strMissing = m_data.File("gone 100%s.vks");
    const std::string strPdf = m_data.File("after-failed-open.pdf");
    // Another day first, so "as before" is not simply the start-up state.
    m_script.m_fileAnswers = {{IDOK, strOther, false}, {IDOK, strMissing, false}};
    m_script.m_printAnswers.push_back({IDOK, strPdf, false});
    CRecordedViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        viewer.SendCommand(ID_FILE_OPEN);
        const CChartState before = viewer.GetChart()->State();
        ASSERT_EQ(before.points.size(), 3U);
        dlg.m_pTap->m_calls.clear();
        viewer.SendCommand(ID_FILE_OPEN);

        ASSERT_EQ(m_script.Messages(), std::vector<std::string>{"File not found: " + strMissing});
        EXPECT_EQ(m_script.OfKind(EModalKind::MessageBox)[0].dwFlags, static_cast<DWORD>(MB_OK));
        EXPECT_TRUE(dlg.m_pTap->m_calls.empty()) << "the chart was touched";
        const CChartState& after = viewer.GetChart()->State();
        ASSERT_EQ(after.points.size(), before.points.size());
        EXPECT_EQ(after.points.back().dValue, before.points.back().dValue);
        EXPECT_EQ(after.value.dUpper, 3.0);
        EXPECT_EQ(after.value.dLower, before.value.dLower);
        EXPECT_EQ(after.time.dLower, before.time.dLower);
        EXPECT_EQ(after.time.dUpper, before.time.dUpper);
        EXPECT_EQ(viewer.GetWindowText(), strOther);
        EXPECT_TRUE(viewer.IsWindowVisible()) << "the window stays";

        viewer.SendCommand(ID_FILE_PRINT);
        ASSERT_GT(viewer.GetChart()->State().labels.size(), 2U);
        EXPECT_EQ(viewer.GetChart()->State().labels[CAPTION_LABEL].strText, strOther);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    EXPECT_EQ(m_strStartFile, strStartup);
    EXPECT_TRUE(std::filesystem::exists(strPdf));
}

// A file that cannot be read to its end is said once the loading window is gone, never over it.
TEST_F(CViewerDlgTest, AReadErrorIsSaidOnceTheLoadingWindowIsGone) {
    int nBoxes = 0;
    bool bLoadingUp = false;
    m_script.m_onMessage = [&](const CModalRequest& request) {
        ++nBoxes;
        EXPECT_NE(request.strText.find("Read error"), std::string::npos) << request.strText;
        for (const QWidget* pWindow : QApplication::topLevelWidgets()) {
            for (const QLabel* pLabel : pWindow->findChildren<QLabel*>()) {
                bLoadingUp =
                    bLoadingUp || (pWindow->isVisible() && pLabel->text() == "Loading data");
            }
        }
    };
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        EXPECT_TRUE(viewer.LoadDataFile("/proc/self/mem")); // opens, then the read fails
        viewer.SendCommand(ID_FILE_EXIT);
    });
    EXPECT_EQ(nBoxes, 1);
    EXPECT_FALSE(bLoadingUp) << "the box came up over the loading window";
}
