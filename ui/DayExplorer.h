#pragma once
// CDayExplorer: everything the main window does beyond showing a day as loaded: the view (zoom,
// pan, the value scale), the cursor's read-out, the alarm levels, the status line, and following
// the file while the logger writes it. The window hands it each day it loads and each command it
// does not handle itself; it keeps the chart's view and overlay, and the window's title and
// status bar, in step.
//
// Flow: the mouse and keys (CChartInteraction) change the view -> the value scale is fitted ->
// the status line is written. The file grows (CDayWatch -> CDayFollower) -> the new readings join
// the chart, the value range grows, the view slides along when it follows -> CAlarmWatch decides
// on the alarm -> the title, the taskbar and the status line show it.

#include "chart/ChartView.h"
#include "data/AlarmWatch.h"
#include "data/FieldLoader.h"
#include "settings/ViewOptions.h"

#include <QObject>

#include <functional>
#include <memory>
#include <span>
#include <string>

class CChartInteraction;
class CDayWatch;
class CDialog;
class CStripChart;
class QLabel;
class QStatusBar;
class QToolButton;
class QWidget;
struct CFollowStep;
enum class EChartAction;

class CDayExplorer : public QObject {
public:
    struct CHost {
        CDialog* pWindow = nullptr;
        CStripChart* pChart = nullptr;
        QWidget* pClient = nullptr; // the client area, which the chart and the status bar share
        std::span<FieldSample> samples;
        std::function<void(const std::string&)> setTitle; // the window's title
        std::function<void(const std::string&)> openFile; // load another day
        std::function<void(const std::string&)> report;   // a line for standard error
        std::function<void()> relayout;                   // fit the chart and the bar again
    };

    explicit CDayExplorer(CHost host);
    ~CDayExplorer() override;

    // A day was loaded from strPath (read as day): the view starts whole and following.
    void OnDayLoaded(const std::string& strPath, const CFieldRead& day);
    // Handles the View menu's commands; false for any other.
    bool OnCommand(unsigned nID);
    // The status bar's height when shown, else 0; the chart takes the rest of the client area.
    [[nodiscard]] int StatusHeight() const;
    void PlaceStatusBar(int nWidth, int nClientHeight);

private:
    void OnChartAction(EChartAction eAction);
    void OnFollowStep(const CFollowStep& step);
    void FollowNewest();
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

    std::string m_strPath;
    std::string m_strDate; // from the file's name, or empty
    bool m_bFitScale = false;
    bool m_bFollowing = false; // the view keeps the newest reading in view
    bool m_bGone = false;
    bool m_bFull = false;
    std::string m_strReadError;
};
