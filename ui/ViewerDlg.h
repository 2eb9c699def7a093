#pragma once
// CViewerDlg: the program's one main window, a resizable dialog from template 146 whose client
// area is the strip chart (control 1021, bound to the context's CStrip).
//
// Set-up restores the saved placement (cut to the screen's work area when larger), adds About to
// the system menu, loads the keys of the menu commands, shows the start-up file as the title,
// gives the chart its display settings and keeps the window no smaller than a legible chart. Its
// first non-minimised paint brings in the start-up file. When start-up began reading it early
// (CEarlyDay) and that work has ended, the day goes to the chart within that paint, so the first
// frame shows the trace; otherwise, once the paint is done, the window waits for the early day
// under the loading window, or reads the file itself (LoadDataFile). Either way a day reaches the
// chart only when its file opened, and then the title names the file. Commands arrive by number
// through the two tables in the .cpp (menu commands and system commands). Enter and Esc do nothing
// here; closing saves the placement, Exit does not.

#include "chart/EarlyDay.h"
#include "data/FieldLoader.h"
#include "data/FieldSample.h"
#include "platform/Dialog.h"
#include "res/Resource.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CDayExplorer;
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
};

class CViewerDlg : public CDialog {
public:
    enum { IDD = IDD_VIEWER_DIALOG };

    explicit CViewerDlg(CViewerContext context, CWnd* pParent = nullptr);
    ~CViewerDlg() override;

    // Reads strPath under the loading window and, once it has opened, hands the day to the chart
    // (after clearing the old points when bReplaceDay), records it in m_strDataPath and the title.
    // FALSE when the file cannot be opened; nothing has changed then.
    BOOL LoadDataFile(std::string strPath, BOOL bReplaceDay = FALSE);
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
    void OnFirstPaint();
    // Hands an opened day to the chart (its points prepared ahead when pPrepared is given) and
    // names its file in the title; FALSE when not opened, and nothing has changed then.
    BOOL ShowDay(std::string strPath, const CFieldRead& day, BOOL bReplaceDay,
                 std::vector<CChartPoint>* pPrepared = nullptr);
    // What follows a day's hand-over: the explorer's view of it and the report of a read error.
    void FinishDay(const CFieldRead& day);
    void ApplyPlacement();
    void FitToScreen();
    void ApplyMinimumSize();
    void RecordPlacement();

    CViewerContext m_context;
    std::unique_ptr<CDayExplorer> m_pExplorer; // zoom, read-out, alarms, status line, following
    bool m_bStartupLoadQueued = false;
    std::optional<CEarlyDay::CResult> m_earlyDay; // handed over in the first paint, finished after
};
