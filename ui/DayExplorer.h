#pragma once
// CDayExplorer: everything the main window does beyond showing a day as loaded: the view (zoom,
// pan, the value scale), the cursor's read-out, the alarm levels, the status line, and following
// the file while the logger writes it, and the operator's desk: the alarm banner and sound, the
// all-clear countdown, the warning when the logger falls silent, and flashes. It listens to the
// day document and receives each command the window does not handle itself; it keeps the chart's
// view and overlay, the banner, and the window's title and status bar, in step.
//
// Flow: the mouse and keys (CChartInteraction) change the view -> the value scale is fitted ->
// the status line is written. The file grows (CDayWatch -> CDayDocument, which the chart's feed
// also hears) -> the view slides along when it follows, over the follow span -> CAlarmWatch
// decides on the alarm and the flashes are found -> the title, the taskbar, the banner
// (CAlarmBanner), the sound (CAlarmSound) and the status line show them. A timer once a second,
// while there is something to count, moves the banner's countdown and notices when no reading
// has come for the stall time: no readings is never an all-clear.
//
// The status line is a row of labelled fields (CStatusFields): the read-out first, then what
// matters most; those that do not fit are dropped whole. PgUp and PgDn open the neighbouring day
// of the folder (through the window's load) with the same hours in view.

#include "chart/ChartState.h"
#include "chart/ChartView.h"
#include "data/AlarmWatch.h"
#include "data/Flashes.h"
#include "doc/DayDocument.h"
#include "settings/ViewOptions.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CAlarmBanner;
class CAlarmSound;
class CChartInteraction;
class CCommandTable;
class CDayWatch;
class CDialog;
class CSpanPanel;
class CStatusFields;
class CStripChart;
class QLabel;
class QStatusBar;
class QToolButton;
class QWidget;
enum class EChartAction;

class CDayExplorer : public QObject {
public:
    struct CHost {
        CDialog* pWindow = nullptr;
        CStripChart* pChart = nullptr;
        QWidget* pClient = nullptr; // the client area, which the chart and the status bar share
        CDayDocument* pDay = nullptr;
        std::function<void(const std::string&)> setTitle;     // the window's title
        std::function<COutcome(const std::string&)> openFile; // load another day
        std::function<void(const std::string&)> report;       // a line for standard error
        std::function<void()> relayout;                       // fit the chart and the bar again
        std::function<void()> unitChanged; // the readings are now shown another way
        // Open another day as File > Open does (the loading window, its messages); false when
        // it did not open.
        std::function<bool(const std::string&)> loadDay;
    };

    explicit CDayExplorer(CHost host);
    ~CDayExplorer() override;

    // Enters the View menu's commands in the window's table.
    void AddCommands(CCommandTable& commands);
    // The status bar's height when shown, else 0; the chart takes the rest of the client area.
    [[nodiscard]] int StatusHeight() const;
    // The alarm banner's height when shown, else 0; the chart starts below it.
    [[nodiscard]] int BannerHeight() const;
    // Places the status bar at the bottom of the client area and the banner at its top.
    void PlaceStatusBar(int nWidth, int nClientHeight);
    // The narrowest status line that still shows a read-out whole, beside the Follow button.
    [[nodiscard]] int StatusMinimumWidth() const;
    // The reading under the cursor as the status line gives it; empty without a cursor.
    [[nodiscard]] std::string ReadoutText() const;
    // Which way the page is printed (File > Landscape page, or the preview's choice).
    [[nodiscard]] bool PrintLandscape() const { return m_options.m_bPrintLandscape; }
    void SetPrintLandscape(bool bLandscape);

private:
    void OnDayChange(const CDayChange& change);
    // A new day: the view starts following, over the follow span. bReread: the followed file was
    // replaced and read again.
    void OnNewDay(bool bReread);
    void OnAppended(std::size_t nFirst);
    // The alarm watch takes the records from m_nFed on. With bAnnounce, the alert's rise sounds
    // and flashes the taskbar, and its end leaves "Last alert" until acknowledged.
    void FeedAlarm(bool bAnnounce);
    // The flash marks from record nFirst on.
    void FindNewFlashes(std::size_t nFirst);
    // Shows dSpan days (the chosen follow span when 0) ending at the newest reading (from the
    // day's start while the day is shorter), or the whole day.
    void ShowFollowSpan(double dSpan = 0.0);
    // Once a second while something counts: the countdown and the stall.
    void OnTick();
    void UpdateTick();
    void UpdateBanner();
    void SetFollowSpan(int nMinutes);
    void OnChartAction(EChartAction eAction);
    void ApplyValueScale();
    void UpdateTitle();
    void UpdateStatus();
    void UpdateChecks();
    // Opens the day before (nStep -1) or after (+1) in the folder, keeping the hours in view.
    void GoToDay(int nStep);
    // The statistics panel, when open, for the span in view.
    void UpdateStatistics();
    void CopyReadout();
    // What assistive technologies say of the chart: the day, the span, the largest |E|.
    void UpdateAccessibleDescription();
    void AskAlarmLevels();
    void AskFixedScale();
    void SaveOptions();

    CHost m_host;
    CViewOptions m_options;
    std::unique_ptr<CChartInteraction> m_pInteraction;
    std::unique_ptr<CDayWatch> m_pWatch;
    QStatusBar* m_pStatusBar = nullptr;
    CStatusFields* m_pFields = nullptr;
    QLabel* m_pQuiet = nullptr; // "No readings since ...", in amber
    QToolButton* m_pFollow = nullptr;
    CAlarmBanner* m_pBanner = nullptr;
    CAlarmSound* m_pSound = nullptr;
    CSpanPanel* m_pPanel = nullptr; // the span's figures, over the chart
    bool m_bStatistics = false;     // the panel is open
    CAlarmWatch m_alarm;
    std::size_t m_nFed = 0; // records the alarm watch has taken
    std::vector<CFlash> m_flashes;
    std::vector<double> m_flashTimes; // as the chart marks them
    QTimer m_statusSoon; // appended readings rewrite the status line a few times a second at most
    QTimer m_tick;

    // Why no readings come: the logger fell silent, the file went, or it was replaced.
    enum class EQuiet { None, Stalled, Gone, Replaced };
    EQuiet m_eQuiet = EQuiet::None;
    bool m_bLive = false;         // readings arrived while following: the logger writes this file
    QElapsedTimer m_sinceReading; // wall clock since the last reading arrived
    bool m_bAnyReading = false;
    double m_dLastReading = 0.0; // its time (a day number), across a change of day
    bool m_bLastAlert = false;   // "Last alert" shows until acknowledged
    bool m_bOpeningNext = false; // the next day's file is being opened

    int m_nListener = 0; // as the document knows this listener
    bool m_bFitScale = false;
    bool m_bFollowing = false; // the view keeps the newest reading in view
    std::string m_strTrouble;  // why following or a next day's file failed, until it changes
    std::string m_strNotice;   // why a command did nothing, until the next action in the chart
    // While a neighbouring day opens: the view to keep, and whether that day is a past one.
    std::optional<CChartView> m_keptView;
    bool m_bKeptPastDay = false;
};
