#pragma once
// CArchiveDlg: the archive overview, a window of its own beside the main window. It shows every
// day file of a logger's folder at once: a calendar coloured by each day's largest |E|
// (CArchiveCalendar) and a sortable table of the days' summaries (CArchiveModel through a sorting
// proxy), with the progress of the scan, Copy and Export table as CSV.
//
// Flow: the folder is listed (doc/ArchiveScan.h) and the summaries the cache still vouches for
// (doc/SummaryCache.h) fill their rows at once, so the window opens complete when nothing changed;
// the other days are read on every core (CArchiveScan), each summary posted to this window's
// thread as it is made, cell by cell, with Cancel. The folder is looked at again every few
// seconds while the window is shown: a day file that grew or was replaced is read again, new ones
// are added and gone ones removed. The cache is written whole once every day of the folder has
// been read (never after a cancelled scan), and for a day still being logged at most once a
// minute. Opening a day (double-click or Enter, in the calendar or the table) hands its path to the
// main window.

#include "data/DaySummary.h"
#include "data/FieldUnit.h"
#include "doc/ArchiveScan.h"
#include "doc/SummaryCache.h"
#include "platform/Outcome.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CArchiveCalendar;
class CArchiveModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSortFilterProxyModel;
class QSplitter;
class QTableView;

struct CArchiveContext {
    std::string strFolder;      // the logger's folder
    std::string strCacheFolder; // where summaries are kept between runs; empty: nowhere
    CSummaryLevels levels;      // the alarm levels the summaries are made with
    unsigned nWorkers = 0;      // threads that read days; 0: one per core
    int nPollMs = 2000;         // how often the folder is looked at again while shown
    CFieldUnit unit;            // how readings are written
};

// The alarm levels and hold time kept in the settings, as summaries are made with them.
[[nodiscard]] CSummaryLevels SummaryLevelsFromSettings();
// How the settings show readings.
[[nodiscard]] CFieldUnit FieldUnitFromSettings();
// The folder an overview shows when none is named: the folder of the day in view, else the
// logging program's folder, else the current one.
[[nodiscard]] std::string DefaultArchiveFolder(const std::string& strDayInView);

class CArchiveDlg : public QWidget {
public:
    explicit CArchiveDlg(CArchiveContext context, QWidget* pParent = nullptr);
    ~CArchiveDlg() override; // stops the scan first; writes a complete, changed cache

    // Shows a day in the main window.
    void SetOnOpenDay(std::function<void(const std::string&)> fnOpen) {
        m_onOpenDay = std::move(fnOpen);
    }
    // Hears the window being closed (it is hidden, and may be shown again).
    void SetOnClose(std::function<void()> fnClose) { m_onClose = std::move(fnClose); }

    [[nodiscard]] const std::string& Folder() const { return m_context.strFolder; }
    [[nodiscard]] const CSummaryLevels& Levels() const { return m_context.levels; }
    // Readings in the table, the tooltips, the legend and the CSV export as unit shows them.
    void SetUnit(const CFieldUnit& unit);
    [[nodiscard]] const CArchiveModel& Model() const { return *m_pModel; }
    [[nodiscard]] CArchiveCalendar* Calendar() const { return m_pCalendar; }
    [[nodiscard]] QTableView* Table() const { return m_pTable; }
    [[nodiscard]] bool Scanning() const { return m_bScanning; }

    // Cancel and Resume.
    void CancelScan();
    void ResumeScan();
    // Looks at the folder again: what changed is read again.
    void Poll();
    // The table's read days, in its current order, as `quillon --summary` writes them: all of
    // them, or the selected rows only.
    [[nodiscard]] std::string TableCsv(bool bSelectedOnly) const;
    COutcome ExportCsv(const std::string& strPath) const;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    void BuildWidgets();
    void ListFolder();
    void StartScan();
    void OnDayScanned(int nGeneration, const CDayScan& scan);
    void OnScanEnded(int nGeneration, bool bCancelled);
    void SaveCache();
    void OpenRow(int nRow);
    void SelectRow(int nRow);
    void UpdateStatus();
    void CopySelection();
    void AskExportCsv();
    [[nodiscard]] bool AnyWaiting() const;

    CArchiveContext m_context;
    std::function<void(const std::string&)> m_onOpenDay;
    std::function<void()> m_onClose;

    CArchiveModel* m_pModel = nullptr;
    QSortFilterProxyModel* m_pProxy = nullptr;
    CArchiveCalendar* m_pCalendar = nullptr;
    QScrollArea* m_pCalendarArea = nullptr;
    QSplitter* m_pSplitter = nullptr;
    QTableView* m_pTable = nullptr;
    QLabel* m_pFolderLabel = nullptr;
    QLabel* m_pStatus = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QPushButton* m_pCancel = nullptr;
    QTimer m_poll;

    CSummaryCache m_cache;
    bool m_bCacheDirty = false;
    QElapsedTimer m_sinceSave; // invalid until the first save
    std::string m_strListError;

    CArchiveScan m_scan;
    std::vector<CDayFile> m_queue; // files to read once the running scan ends
    int m_nGeneration = 0;         // of the running scan; reports of earlier ones are dropped
    bool m_bScanning = false;
    bool m_bUserCancelled = false;
    int m_nScanDone = 0;
    int m_nScanTotal = 0;
};
