#pragma once
// CDayExplorer: everything the main window does beyond showing a day as loaded: the view (zoom,
// pan, the value scale), the cursor's read-out, the alarm levels, the status line, and following
// the file while the logger writes it. It listens to the day document and receives each command
// the window does not handle itself; it keeps the chart's view and overlay, and the window's
// title and status bar, in step.
//
// Flow: the mouse and keys (CChartInteraction) change the view -> the value scale is fitted ->
// the status line is written. The file grows (CDayWatch -> CDayDocument, which the chart's feed
// also hears) -> the view slides along when it follows -> CAlarmWatch decides on the alarm -> the
// title, the taskbar and the status line show it.

#include "chart/ChartView.h"
#include "data/AlarmWatch.h"
#include "doc/DayDocument.h"
#include "settings/ViewOptions.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <span>
#include <string>

class CChartInteraction;
class CCommandTable;
class CDayWatch;
class CDialog;
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
    };

    explicit CDayExplorer(CHost host);
    ~CDayExplorer() override;

    // Enters the View menu's commands in the window's table.
    void AddCommands(CCommandTable& commands);
    // The status bar's height when shown, else 0; the chart takes the rest of the client area.
    [[nodiscard]] int StatusHeight() const;
    void PlaceStatusBar(int nWidth, int nClientHeight);

private:
    void OnDayChange(const CDayChange& change);
    // A new day: the view starts whole and following.
    void OnNewDay();
    void OnAppended(std::size_t nFirst);
    void OnChartAction(EChartAction eAction);
    void ApplyValueScale();
    void UpdateTitle();
    void UpdateStatus();
    void UpdateChecks();
    void AskAlarmLevels();
    void AskFixedScale();
    void SaveOptions();

    CHost m_host;
    CViewOptions m_options;
    std::unique_ptr<CChartInteraction> m_pInteraction;
    std::unique_ptr<CDayWatch> m_pWatch;
    QStatusBar* m_pStatusBar = nullptr;
    QLabel* m_pStatus = nullptr;
    QToolButton* m_pFollow = nullptr;
    CAlarmWatch m_alarm;
    QTimer m_statusSoon; // appended readings rewrite the status line a few times a second at most

    int m_nListener = 0; // as the document knows this listener
    bool m_bFitScale = false;
    bool m_bFollowing = false; // the view keeps the newest reading in view
    std::string m_strTrouble;  // why following or a next day's file failed, until it changes
};
