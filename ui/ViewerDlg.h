#pragma once
// CViewerDlg: the program's one main window, a resizable dialog from template 146 whose client
// area is the strip chart (control 1021, bound to the context's CStrip).
//
// Set-up restores the saved placement (cut to the screen's work area when larger), adds About to
// the system menu, loads the keys of the menu commands, shows the start-up file as the title,
// gives the chart its display settings and keeps the window no smaller than a legible chart. Its
// first non-minimised paint brings in the start-up file. When start-up began reading it early
// (CEarlyDay) and that work has ended, the read goes to the day document within that paint, so
// the first frame shows the trace; otherwise, once the paint is done, the window waits for the
// early read under the loading window, or reads the file itself (LoadDataFile).
//
// Every day reaches the chart the same way: the day document (m_day) announces it, and the
// window's listener hands it over (method 127 when a day was shown before, 129, the ranges) and
// names the file in the title; readings appended while following go over the same way. A file
// that does not open changes nothing. Commands arrive by number through the two tables in the
// .cpp (menu commands and system commands). Enter and Esc do nothing here; closing saves the
// placement, Exit does not.

#include "data/FieldSample.h"
#include "doc/DayDocument.h"
#include "doc/EarlyDay.h"
#include "platform/Dialog.h"
#include "res/Resource.h"
#include "ui/CommandTable.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

class CArchiveDlg;
class CDayExplorer;
class CRecentFilesMenu;
class CStrip;
class CStripChart;
class CViewerSettings;

// What the main window works with. Start-up gives it the program's own; tests give their own.
struct CViewerContext {
    CStrip& chart;                  // bound to the chart control while the window exists
    CViewerSettings& settings;      // the saved placement
    std::span<FieldSample> samples; // the array every load fills
    std::string strDataFile;        // the file shown first: the title and the start-up load
    // Where the window reports what the user should know but no dialog should interrupt (a
    // placement that could not be saved as the window closes); empty drops the reports.
    std::function<void(const std::string&)> report;
    // The start-up file, already being read into samples; null when the window reads it itself.
    CEarlyDay* pEarlyDay = nullptr;
    // Where the archive overview keeps its summaries between runs; empty: nowhere.
    std::string strCacheFolder{};
    // An archive overview already open (quillon --archive), whose days this window shows from
    // now on; it outlives the window. Null when the window opens its own on demand.
    CArchiveDlg* pArchive = nullptr;
};

class CViewerDlg : public CDialog {
public:
    enum { IDD = IDD_VIEWER_DIALOG };

    explicit CViewerDlg(CViewerContext context, CWnd* pParent = nullptr);
    ~CViewerDlg() override;

    // Reads strPath under the loading window into the day document, which hands it to the chart;
    // a read error is said once the loading window is gone. FALSE when the file cannot be opened;
    // nothing has changed then.
    BOOL LoadDataFile(const std::string& strPath);
    // The first load: the start-up file, and the end of the program when it cannot be opened.
    void LoadStartupFile();
    // Fits the chart to the client area.
    void ResizeChart();
    // Prints the chart on one page of a printer the user picks.
    void PrintChart();

    // The chart control, while the window exists.
    [[nodiscard]] CStripChart* GetChart() const;

    HICON m_hIcon = nullptr;
    SHORT m_bFirstPaintDone = FALSE;
    std::string m_strDataPath;
    RECT m_rcClient{0, 0, 0, 0};

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(UINT nID) override;
    void OnOK() override;
    void OnCancel() override;
    void OnSysCommand(UINT nID) override;
    void OnSize(UINT nType, int cx, int cy) override;
    BOOL OnEraseBkgnd(QPainter& dc) override;
    void OnPaint(QPainter& dc) override;
    void OnClose() override;
    void OnDestroy() override;
    QWidget* CreateCustomControl(int nID, const std::string& strClass, QWidget* pParent) override;

private:
    struct CCommandEntry {
        UINT nID;
        void (CViewerDlg::*pfnHandler)();
    };
    static const CCommandEntry s_commandMap[];
    static const CCommandEntry s_sysCommandMap[];

    void OnFileOpen();
    void OnFileExit();
    void OnAbout();
    // View > Archive overview: the overview of the folder of the day in view.
    void OnArchiveOverview();
    // Shows a day picked in the overview.
    void OpenDayFromArchive(const std::string& strPath);
    void OnPrintPreview();
    void OnFileExport();
    void OnCopyChart();
    void OnHelpKeys();
    void OnRecentFile(UINT nID);
    // Opens a file the user chose (Open, a drop, a recent file) and puts it first on the recent
    // files; says so when it does not open.
    bool OpenChosenFile(const std::string& strPath);
    void AddRecentFile(const std::string& strPath);
    void OnFirstPaint();
    // The chart's side of what the day document announces.
    void OnDayChange(const CDayChange& change);
    // Says a read error once the read is over and no loading window is up.
    void ReportRead(const CDayDocument::COpened& opened);
    void ApplyPlacement();
    void FitToScreen();
    void ApplyMinimumSize();
    void RecordPlacement();

    CViewerContext m_context;
    CDayDocument m_day;       // the day in view, in the context's array
    CCommandTable m_commands; // every menu command: the window's own, then the explorer's
    std::unique_ptr<CDayExplorer> m_pExplorer; // zoom, read-out, alarms, status line, following
    CArchiveDlg* m_pArchive = nullptr;         // the overview in use: the context's or our own
    std::unique_ptr<CArchiveDlg> m_pOwnArchive;
    std::unique_ptr<CRecentFilesMenu> m_pRecent; // File > Recent files
    bool m_bStartupLoadQueued = false;
    bool m_bChartHasDay = false; // a day was handed over: the next one clears it first (127)
    // The early read taken in the first paint, said after it.
    std::optional<CDayDocument::COpened> m_earlyOpened;
};
