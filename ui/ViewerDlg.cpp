#include "ui/ViewerDlg.h"

#include "chart/ChartFeed.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSetup.h"
#include "chart/Strip.h"
#include "chart/StripChart.h"
#include "platform/MessageBox.h"
#include "platform/PrintDialog.h"
#include "platform/PrintPreviewDialog.h"
#include "platform/PrinterDC.h"
#include "platform/Resources.h"
#include "print/ChartPrinter.h"
#include "settings/ViewerPlacement.h"
#include "settings/ViewerSettings.h"
#include "ui/AboutDlg.h"
#include "ui/ArchiveDlg.h"
#include "ui/ChooseDataFile.h"
#include "ui/DayExplorer.h"
#include "ui/FileDrop.h"
#include "ui/KeysDlg.h"
#include "ui/LoadingDlg.h"
#include "ui/RecentFilesMenu.h"
#include "ui/ViewExport.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace {
constexpr COLORREF CLIENT_FILL = 0x00000000;
constexpr DWORD PRINT_DIALOG_FLAGS = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                     PD_HIDEPRINTTOFILE | PD_NOSELECTION; // 0x14000C
constexpr const char* LOADING_TITLE = "Please Wait...";
constexpr const char* LOADING_TEXT = "Loading data";
constexpr const char* FILE_NOT_FOUND = "File not found: ";
constexpr int QUIT_AFTER_FAILED_LOAD = -1;

// Tells the window when its chart is about to paint. The chart covers the whole client area and
// paints opaquely, so the window's own paint may never run for it: the chart's first paint is the
// window's first paint as far as the start-up load is concerned, and a day handed over here is in
// the frame that follows.
class CChartPaintWatcher : public QObject {
public:
    CChartPaintWatcher(QObject* pParent, std::function<void()> onPaint)
        : QObject(pParent), m_onPaint(std::move(onPaint)) {}

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Paint) {
            m_onPaint();
        }
        return QObject::eventFilter(pObject, pEvent);
    }

private:
    std::function<void()> m_onPaint;
};

std::vector<CRectI> AvailableScreens() {
    std::vector<CRectI> screens;
    for (const QScreen* pScreen : QGuiApplication::screens()) {
        const QRect rc = pScreen->availableGeometry();
        screens.push_back({rc.left(), rc.top(), rc.width(), rc.height()});
    }
    // The primary screen first: a placement that must be mended goes there.
    if (const QScreen* pPrimary = QGuiApplication::primaryScreen()) {
        const QRect rc = pPrimary->availableGeometry();
        screens.insert(screens.begin(), {rc.left(), rc.top(), rc.width(), rc.height()});
    }
    return screens;
}
} // namespace

// The message map: the window's own menu commands (entered in the command table with those of the
// parts it hosts) and the system commands, by number.
const CViewerDlg::CCommandEntry CViewerDlg::s_commandMap[] = {
    {ID_FILE_OPEN, &CViewerDlg::OnFileOpen},
    {ID_FILE_PRINT, &CViewerDlg::PrintChart},
    {ID_FILE_EXIT, &CViewerDlg::OnFileExit},
    {ID_APP_ABOUT, &CViewerDlg::OnAbout},
    {ID_FILE_PRINT_PREVIEW, &CViewerDlg::OnPrintPreview},
    {ID_FILE_EXPORT, &CViewerDlg::OnFileExport},
    {ID_EDIT_COPY_CHART, &CViewerDlg::OnCopyChart},
    {ID_HELP_KEYS, &CViewerDlg::OnHelpKeys},
};
const CViewerDlg::CCommandEntry CViewerDlg::s_sysCommandMap[] = {
    {IDM_ABOUTBOX, &CViewerDlg::OnAbout},
    {IDM_PRINT, &CViewerDlg::PrintChart},
};

CViewerDlg::CViewerDlg(CViewerContext context, CWnd* pParent)
    : CDialog(IDD, pParent), m_hIcon(LoadIcon(IDR_MAINFRAME)), m_context(std::move(context)),
      m_day(m_context.samples) {
    for (const CCommandEntry& entry : s_commandMap) {
        m_commands.Add(entry.nID, [this, pfn = entry.pfnHandler] { (this->*pfn)(); });
    }
    for (UINT nID = ID_FILE_RECENT_FIRST; nID <= ID_FILE_RECENT_LAST; ++nID) {
        m_commands.Add(nID, [this, nID] { OnRecentFile(nID); });
    }
    // First to listen: the chart has the day before anything reads it from there.
    m_day.Listen([this](const CDayChange& change) { OnDayChange(change); });
}

CViewerDlg::~CViewerDlg() {
    m_pExplorer.reset();
    DestroyWindow();
}

QWidget* CViewerDlg::CreateCustomControl(int nID, const std::string& strClass, QWidget* pParent) {
    if (nID == IDC_STRIPCHART) {
        return new CStripChart(pParent);
    }
    return CDialog::CreateCustomControl(nID, strClass, pParent);
}

CStripChart* CViewerDlg::GetChart() const {
    const CWnd* pChart = GetDlgItem(IDC_STRIPCHART);
    return pChart != nullptr ? qobject_cast<CStripChart*>(pChart->GetSafeHwnd()) : nullptr;
}

void CViewerDlg::DoDataExchange(CDataExchange* /*pDX*/) {
    // Binds control 1021 to the program's chart wrapper.
    if (CStripChart* pChart = GetChart()) {
        m_context.chart.Attach(pChart);
        if (pChart->findChild<CChartPaintWatcher*>() == nullptr) {
            pChart->installEventFilter(new CChartPaintWatcher(pChart, [this] {
                if (!IsIconic()) {
                    OnFirstPaint();
                }
            }));
        }
    }
}

BOOL CViewerDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        const std::string strAboutMenu = LoadString(IDS_ABOUTBOX);
        pSysMenu->AppendMenu(MF_SEPARATOR);
        pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu.c_str());
    }

    SetIcon(m_hIcon, ICON_BIG);
    SetIcon(m_hIcon, ICON_SMALL);
    LoadAccelTable(IDR_MAINFRAME);

    m_context.settings.LoadPlacement();
    ApplyPlacement();

    SetWindowText(m_context.strDataFile);
    ApplyChartDisplaySettings(m_context.chart);
    if (CStripChart* pChart = GetChart()) {
        CDayExplorer::CHost host;
        host.pWindow = this;
        host.pChart = pChart;
        host.pClient = GetClientWidget();
        host.pDay = &m_day;
        host.setTitle = [this](const std::string& strTitle) { SetWindowText(strTitle); };
        host.openFile = [this](const std::string& strPath) {
            // The next day's file: a failure goes to the status line, never to a box.
            CLoadingScope loading(LOADING_TITLE, LOADING_TEXT);
            const CDayDocument::COpened opened = m_day.Open(strPath);
            return opened.strReason.empty() || opened.outcome.Ok()
                       ? opened.outcome
                       : COutcome::Fail(opened.outcome.Error() + " (" + opened.strReason + ")");
        };
        host.report = m_context.report;
        host.relayout = [this] {
            ApplyMinimumSize();
            ResizeChart();
        };
        host.unitChanged = [this] {
            if (m_pArchive != nullptr) {
                m_pArchive->SetUnit(GetChart()->State().unit);
            }
        };
        host.loadDay = [this](const std::string& strPath) {
            if (LoadDataFile(strPath)) {
                return true;
            }
            AfxMessageBox(FILE_NOT_FOUND + strPath, MB_OK);
            return false;
        };
        m_pExplorer = std::make_unique<CDayExplorer>(std::move(host));
        m_pExplorer->AddCommands(m_commands);
    }
    m_commands.Add(ID_VIEW_ARCHIVE, [this] { OnArchiveOverview(); });
    if (m_context.pArchive != nullptr) {
        m_pArchive = m_context.pArchive;
        m_pArchive->SetOnOpenDay(
            [this](const std::string& strPath) { OpenDayFromArchive(strPath); });
    }
    m_pRecent = std::make_unique<CRecentFilesMenu>(*this);
    new CFileDrop(GetSafeHwnd(), [this](const std::string& strPath) { OpenChosenFile(strPath); });
    ResizeChart();
    ApplyMinimumSize();
    return TRUE;
}

void CViewerDlg::ApplyMinimumSize() {
    // No smaller than a chart whose labels all stay legible; the menu bar comes on top of it, the
    // status bar below.
    if (CStripChart* pChart = GetChart()) {
        const int nStatus = m_pExplorer ? m_pExplorer->StatusHeight() : 0;
        QSize szMinimum =
            pChart->Renderer().MinimumSize(pChart->State(), pChart) + QSize(0, nStatus);
        // A status line narrower than a read-out would cut it.
        szMinimum.setWidth(
            std::max(szMinimum.width(), m_pExplorer ? m_pExplorer->StatusMinimumWidth() : 0));
        GetClientWidget()->setMinimumSize(szMinimum);
    }
}

void CViewerDlg::ApplyPlacement() {
    // Saved and applied alike: the outer frame's top-left corner and the window's size without
    // its frame, so the window comes back exactly where and as large as it was closed.
    const CViewerSettings& settings = m_context.settings;
    const CRectI rcSaved{settings.m_nWindowX, settings.m_nWindowY, settings.m_nWindowWidth,
                         settings.m_nWindowHeight};
    const CRectI rc = PlacementOnScreen(rcSaved, AvailableScreens());
    QWidget* pWindow = GetSafeHwnd();
    pWindow->move(rc.nLeft, rc.nTop);
    pWindow->resize(rc.nWidth, rc.nHeight);
    pWindow->raise();
    FitToScreen();
    // The four values are the normal place; a window closed maximised opens maximised over it.
    if (settings.m_bMaximized) {
        pWindow->setWindowState(pWindow->windowState() | Qt::WindowMaximized);
    }
}

void CViewerDlg::FitToScreen() {
    // A size larger than the work area (saved under another scale factor, or on a larger screen)
    // is cut to it, frame included, and the window moved into it; one that fits is left alone.
    QWidget* pWindow = GetSafeHwnd();
    if (pWindow == nullptr || IsZoomed() || IsIconic()) {
        return;
    }
    const QRect rcFrame = pWindow->frameGeometry();
    const QScreen* pScreen = QGuiApplication::screenAt(rcFrame.topLeft());
    if (pScreen == nullptr) {
        pScreen = QGuiApplication::primaryScreen();
    }
    if (pScreen == nullptr) {
        return;
    }
    const QRect rcWork = pScreen->availableGeometry();
    const QSize szFrame = rcFrame.size() - pWindow->size();
    const QSize szRoom = rcWork.size() - szFrame;
    const QSize szWindow = pWindow->size();
    if (szWindow.width() <= szRoom.width() && szWindow.height() <= szRoom.height()) {
        return;
    }
    const QSize szFitted = szWindow.boundedTo(szRoom);
    const QPoint ptCorner(
        std::max(rcWork.left(),
                 std::min(rcFrame.left(), rcWork.left() + szRoom.width() - szFitted.width())),
        std::max(rcWork.top(),
                 std::min(rcFrame.top(), rcWork.top() + szRoom.height() - szFitted.height())));
    pWindow->move(ptCorner);
    pWindow->resize(szFitted);
}

void CViewerDlg::RecordPlacement() {
    CViewerSettings& settings = m_context.settings;
    QWidget* pWindow = GetSafeHwnd();
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    settings.m_nWindowX = rcWindow.left;
    settings.m_nWindowY = rcWindow.top;
    // Maximised or minimised: the size the window will have again when it is restored.
    const QSize szWindow = (IsZoomed() || IsIconic()) && pWindow->normalGeometry().isValid()
                               ? pWindow->normalGeometry().size()
                               : pWindow->size();
    settings.m_bMaximized = IsZoomed() != FALSE;
    // X and Y stay the corner of the window as it was closed (a maximised one's included).
    if (IsIconic() && pWindow->normalGeometry().isValid()) {
        const QRect rcFrame = pWindow->frameGeometry();
        const QPoint ptFrameOffset = pWindow->geometry().topLeft() - rcFrame.topLeft();
        settings.m_nWindowX = pWindow->normalGeometry().left() - ptFrameOffset.x();
        settings.m_nWindowY = pWindow->normalGeometry().top() - ptFrameOffset.y();
    }
    settings.m_nWindowWidth = szWindow.width();
    settings.m_nWindowHeight = szWindow.height();
}

void CViewerDlg::ResizeChart() {
    GetClientRect(&m_rcClient);
    const int nWidth = m_rcClient.right - m_rcClient.left;
    const int nHeight = m_rcClient.bottom - m_rcClient.top;
    // The status bar, when shown, takes the bottom, the alarm banner the top; the chart the rest.
    const int nStatus = m_pExplorer ? m_pExplorer->StatusHeight() : 0;
    const int nBanner = m_pExplorer ? m_pExplorer->BannerHeight() : 0;
    if (CWnd* pChart = GetDlgItem(IDC_STRIPCHART)) {
        pChart->MoveWindow(0, nBanner, nWidth, nHeight - nStatus - nBanner);
        pChart->Invalidate();
    }
    if (m_pExplorer) {
        m_pExplorer->PlaceStatusBar(nWidth, nHeight);
    }
}

BOOL CViewerDlg::OnCommand(UINT nID) {
    return m_commands.Run(nID) ? TRUE : CDialog::OnCommand(nID);
}

void CViewerDlg::OnSysCommand(UINT nID) {
    for (const CCommandEntry& entry : s_sysCommandMap) {
        if (entry.nID == (nID & SYSCOMMAND_MASK)) {
            (this->*entry.pfnHandler)();
            return;
        }
    }
    CDialog::OnSysCommand(nID);
}

void CViewerDlg::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    if (GetDlgItem(IDC_STRIPCHART) != nullptr) {
        ResizeChart();
    }
}

BOOL CViewerDlg::OnEraseBkgnd(QPainter& /*dc*/) {
    // The paint fills the client area itself and the chart covers it: no flash on resize.
    return TRUE;
}

void CViewerDlg::OnPaint(QPainter& dc) {
    RECT rc;
    GetClientRect(&rc);
    if (IsIconic()) {
        CDialog::OnEraseBkgnd(dc);
        const CPointI pt =
            CenteredIconPosition(rc.right - rc.left, rc.bottom - rc.top,
                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        DrawIcon(dc, pt.nX, pt.nY, m_hIcon);
        return;
    }
    dc.fillRect(QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top),
                QColorOf(CLIENT_FILL));
    CDialog::OnPaint(dc);
    OnFirstPaint();
}

void CViewerDlg::OnFirstPaint() {
    if (m_bFirstPaintDone || m_bStartupLoadQueued || GetSafeHwnd() == nullptr) {
        return;
    }
    m_bStartupLoadQueued = true;
    // An early read that is done costs nothing to show: the day goes to the chart now, in time
    // for this frame. All that may wait or ask (the loading window, a message box) runs once this
    // paint has completed, with the window on screen.
    CEarlyDay* pEarly = m_context.pEarlyDay;
    if (pEarly != nullptr && pEarly->Ready()) {
        const CEarlyDay::CResult early = pEarly->Take();
        if (early.bRead) {
            m_earlyOpened = m_day.Adopt(pEarly->Path(), early.day);
        } // else the window reads the file itself, after this paint
    }
    QTimer::singleShot(0, GetSafeHwnd(), [this] {
        // On screen, the window manager's frame is known at last: fit it in too.
        FitToScreen();
        LoadStartupFile();
        m_bFirstPaintDone = TRUE;
    });
}

void CViewerDlg::LoadStartupFile() {
    CEarlyDay* pEarly = m_context.pEarlyDay;
    CDayDocument::COpened opened;
    if (m_earlyOpened) { // taken in the first paint
        opened = *m_earlyOpened;
        m_earlyOpened.reset();
    } else if (pEarly != nullptr && pEarly->Pending()) {
        // The user waits for the early read now: under the loading window, as for any load.
        CLoadingScope loading(LOADING_TITLE, LOADING_TEXT);
        const CEarlyDay::CResult early = pEarly->Take();
        opened = early.bRead ? m_day.Adopt(pEarly->Path(), early.day) : m_day.Open(pEarly->Path());
    } else {
        CLoadingScope loading(LOADING_TITLE, LOADING_TEXT);
        opened = m_day.Open(m_context.strDataFile);
    }
    if (!opened.bOpened) {
        AfxMessageBox(FILE_NOT_FOUND + m_context.strDataFile, MB_OK);
        PostQuitMessage(QUIT_AFTER_FAILED_LOAD);
        return;
    }
    AddRecentFile(m_day.Path());
    ReportRead(opened);
}

BOOL CViewerDlg::LoadDataFile(const std::string& strPath) {
    CDayDocument::COpened opened;
    {
        CLoadingScope loading(LOADING_TITLE, LOADING_TEXT);
        // A file that does not open leaves the day on screen, its title and the print caption
        // exactly as they were.
        opened = m_day.Open(strPath);
    }
    if (!opened.bOpened) {
        return FALSE;
    }
    ReportRead(opened);
    return TRUE;
}

void CViewerDlg::ReportRead(const CDayDocument::COpened& opened) {
    if (!opened.outcome.Ok()) {
        // Once per load: the chart shows what was read before the error.
        AfxMessageBox(opened.outcome.Error() + "\nThe chart shows the readings before it.", MB_OK);
    }
}

void CViewerDlg::OnDayChange(const CDayChange& change) {
    switch (change.eKind) {
    case EDayChange::NewDay:
        if (m_bChartHasDay) {
            m_context.chart.ClearPoints();
        }
        HandOverDay(m_context.chart, m_day);
        m_bChartHasDay = true;
        m_strDataPath = m_day.Path();
        SetWindowText(m_strDataPath); // the title names the file in view
        break;
    case EDayChange::Appended:
        HandOverAppended(m_context.chart, m_day, change.nFirstChanged);
        break;
    default:
        break;
    }
}

void CViewerDlg::OnFileOpen() {
    // Beside the day in view, when there is one.
    const std::optional<std::string> strPath = ChooseDataFile(m_strDataPath);
    if (strPath) {
        OpenChosenFile(*strPath);
    }
}

bool CViewerDlg::OpenChosenFile(const std::string& strPath) {
    if (!LoadDataFile(strPath)) {
        AfxMessageBox(FILE_NOT_FOUND + strPath, MB_OK);
        return false;
    }
    AddRecentFile(strPath);
    return true;
}

void CViewerDlg::AddRecentFile(const std::string& strPath) {
    if (!m_pRecent) {
        return;
    }
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(strPath, ec);
    const COutcome saved = m_pRecent->Add(ec ? strPath : absolute.lexically_normal().string());
    if (!saved.Ok() && m_context.report) {
        m_context.report(saved.Error());
    }
}

void CViewerDlg::OnRecentFile(UINT nID) {
    const std::optional<std::string> strPath = m_pRecent ? m_pRecent->PathOf(nID) : std::nullopt;
    if (!strPath) {
        return;
    }
    if (LoadDataFile(*strPath)) {
        AddRecentFile(*strPath);
        return;
    }
    const COutcome saved = m_pRecent->Remove(*strPath);
    if (!saved.Ok() && m_context.report) {
        m_context.report(saved.Error());
    }
    AfxMessageBox(FILE_NOT_FOUND + *strPath + "\nIt was taken off the recent files.", MB_OK);
}

void CViewerDlg::OnArchiveOverview() {
    const CSummaryLevels levels = SummaryLevelsFromSettings();
    const std::string strFolder =
        DefaultArchiveFolder(m_day.HasDay() ? m_day.Path() : std::string());
    // Summaries are made with the alarm levels: new levels, a new overview; and another day's
    // folder, another overview.
    if (m_pArchive != nullptr &&
        (m_pArchive->Levels() != levels ||
         CanonicalFolder(m_pArchive->Folder()) != CanonicalFolder(strFolder))) {
        m_pArchive->hide();
        if (m_pArchive == m_context.pArchive) {
            m_context.pArchive->SetOnOpenDay(nullptr);
        }
        m_pArchive = nullptr;
        m_pOwnArchive.reset();
    }
    if (m_pArchive == nullptr) {
        CArchiveContext archive;
        archive.strFolder = strFolder;
        archive.strCacheFolder = m_context.strCacheFolder;
        archive.levels = levels;
        archive.unit = GetChart() != nullptr ? GetChart()->State().unit : CFieldUnit{};
        m_pOwnArchive = std::make_unique<CArchiveDlg>(std::move(archive));
        m_pArchive = m_pOwnArchive.get();
        m_pArchive->SetOnOpenDay(
            [this](const std::string& strPath) { OpenDayFromArchive(strPath); });
    }
    m_pArchive->show();
    m_pArchive->raise();
    m_pArchive->activateWindow();
}

void CViewerDlg::OpenDayFromArchive(const std::string& strPath) {
    if (!LoadDataFile(strPath)) {
        AfxMessageBox(FILE_NOT_FOUND + strPath, MB_OK);
        return;
    }
    if (QWidget* pWindow = GetSafeHwnd()) {
        pWindow->raise();
        pWindow->activateWindow();
    }
}

void CViewerDlg::OnFileExit() {
    EndDialog(0);
}

void CViewerDlg::OnAbout() {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CViewerDlg::PrintChart() {
    CPrintDialog dlg(FALSE, PRINT_DIALOG_FLAGS);
    if (dlg.DoModal() == IDCANCEL) {
        return;
    }
    std::unique_ptr<CPrinterDC> pDC = dlg.GetPrinterDC();
    // Landscape when chosen; otherwise the page lies as the Print dialog left it.
    if (auto* pPrinterDC = dynamic_cast<CQtPrinterDC*>(pDC.get());
        pPrinterDC != nullptr && m_pExplorer && m_pExplorer->PrintLandscape()) {
        pPrinterDC->Printer()->setPageOrientation(QPageLayout::Landscape);
    }
    CChartPrinter printer(m_context.chart, m_strDataPath);
    printer.PrintOnDC(std::move(pDC));
}

void CViewerDlg::OnPrintPreview() {
    CPrintPreviewDialog dlg([this](std::unique_ptr<CPrinterDC> pDC) {
        CChartPrinter printer(m_context.chart, m_strDataPath);
        printer.PrintOnDC(std::move(pDC));
    });
    dlg.SetLandscape(m_pExplorer && m_pExplorer->PrintLandscape());
    dlg.DoModal();
    // The preview's orientation buttons choose for the next page too.
    if (m_pExplorer) {
        m_pExplorer->SetPrintLandscape(dlg.IsLandscape());
    }
}

void CViewerDlg::OnFileExport() {
    CStripChart* pChart = GetChart();
    if (pChart == nullptr || !m_day.HasDay()) {
        return;
    }
    const std::optional<std::string> strPath = ChooseExportFile(m_strDataPath);
    if (!strPath) {
        return;
    }
    const bool bLandscape = m_pExplorer && m_pExplorer->PrintLandscape();
    const CViewExportSource source{m_context.chart, *pChart, m_day,
                                   bLandscape ? EPageOrientation::Landscape
                                              : EPageOrientation::Portrait};
    if (const COutcome written = ExportView(source, *strPath); !written.Ok()) {
        AfxMessageBox(written.Error(), MB_OK);
    }
}

void CViewerDlg::OnCopyChart() {
    if (CStripChart* pChart = GetChart()) {
        if (const COutcome copied = CopyChartImage(*pChart); !copied.Ok()) {
            AfxMessageBox(copied.Error(), MB_OK);
        }
    }
}

void CViewerDlg::OnHelpKeys() {
    CKeysDlg dlgKeys;
    dlgKeys.DoModal();
}

void CViewerDlg::OnOK() {
    // Enter: the main window is no form to confirm, and it stays.
}

void CViewerDlg::OnCancel() {
    // Esc: likewise. The window ends by closing (which saves the placement) or by Exit.
}

void CViewerDlg::OnClose() {
    RecordPlacement();
    if (const COutcome saved = m_context.settings.SavePlacement();
        !saved.Ok() && m_context.report) {
        m_context.report(saved.Error()); // the window closes all the same
    }
    EndDialog(IDCANCEL);
}

void CViewerDlg::OnDestroy() {
    m_commands = CCommandTable(); // no command reaches the parts that go with the window
    // The overview goes with the window, or (the one start-up opened) stops opening days in it.
    if (m_context.pArchive != nullptr) {
        m_context.pArchive->SetOnOpenDay(nullptr);
    }
    m_pArchive = nullptr;
    m_pOwnArchive.reset();
    m_pExplorer.reset(); // it watches files and the chart: neither outlives the window
    m_pRecent.reset();   // its menu goes with the window
    // The chart goes with the window: nothing may reach it through the wrapper afterwards.
    if (m_context.chart.GetTarget() == GetChart()) {
        m_context.chart.Detach();
    }
    CDialog::OnDestroy();
}
