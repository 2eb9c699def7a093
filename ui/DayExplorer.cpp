#include "ui/DayExplorer.h"

#include "chart/ChartTimeFormat.h"
#include "chart/StripChart.h"
#include "platform/Dialog.h"
#include "platform/InputForm.h"
#include "platform/MessageBox.h"
#include "res/Resource.h"
#include "ui/ChartInteraction.h"
#include "ui/CommandTable.h"
#include "ui/DayWatch.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
constexpr int STATUS_SETTLE_MS = 250;
constexpr int MAX_HOLD_SECONDS = 3600;
const char* const ALERT_STYLE = "QLabel { color: white; background: #c02020; }";

std::string ClockOf(double dTime) {
    return FormatChartTime(dTime, "%H:%M:%S", false);
}

std::string Value(double d) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%.3f", d);
    return sz;
}

// A whole number of seconds from 0 to nMax ("" is 0).
bool ParseSeconds(const std::string& strText, int nMax, int* pnSeconds) {
    if (strText.empty()) {
        *pnSeconds = 0;
        return true;
    }
    int n = 0;
    const char* pEnd = strText.data() + strText.size();
    const auto result = std::from_chars(strText.data(), pEnd, n);
    if (result.ec != std::errc() || result.ptr != pEnd || n < 0 || n > nMax) {
        return false;
    }
    *pnSeconds = n;
    return true;
}

std::string Duration(double dSeconds) {
    const long n = std::lround(dSeconds);
    char sz[32];
    if (n >= 3600) {
        std::snprintf(sz, sizeof sz, "%ld h %02ld min", n / 3600, (n / 60) % 60);
    } else if (n >= 60) {
        std::snprintf(sz, sizeof sz, "%ld min %02ld s", n / 60, n % 60);
    } else {
        std::snprintf(sz, sizeof sz, "%ld s", n);
    }
    return sz;
}
} // namespace

CDayExplorer::CDayExplorer(CHost host) : m_host(std::move(host)) {
    m_options.Load();
    m_pStatusBar = new QStatusBar(m_host.pClient);
    m_pStatusBar->setSizeGripEnabled(false);
    // The desktop's own colours, whatever the window around the chart paints.
    m_pStatusBar->setPalette(QApplication::palette(m_pStatusBar));
    m_pStatusBar->setAutoFillBackground(true);
    m_pStatus = new QLabel(m_pStatusBar);
    m_pStatus->setTextFormat(Qt::PlainText);
    m_pStatusBar->addWidget(m_pStatus, 1);
    m_pFollow = new QToolButton(m_pStatusBar);
    m_pFollow->setText(QStringLiteral("Follow"));
    m_pFollow->setToolTip(QStringLiteral("Keep the newest reading in view (End)"));
    m_pStatusBar->addPermanentWidget(m_pFollow);
    QObject::connect(m_pFollow, &QToolButton::clicked, this,
                     [this] { OnChartAction(EChartAction::FollowRequested); });
    m_pStatusBar->setVisible(m_options.m_bStatusBar);

    m_pInteraction = std::make_unique<CChartInteraction>(
        m_host.pChart, [this](EChartAction eAction) { OnChartAction(eAction); });
    m_pWatch = std::make_unique<CDayWatch>(
        *m_host.pDay,
        [this](const std::string& strPath) {
            return m_host.openFile ? m_host.openFile(strPath) : COutcome::Fail(strPath);
        },
        [this](const std::string& strWhy) {
            m_strTrouble = strWhy;
            UpdateStatus();
        },
        this);
    m_pWatch->SetFollowNewest(m_options.m_bFollowNewest);
    m_host.pChart->SetAlarmLevels({m_options.m_dWarningLevel, m_options.m_dAlertLevel});
    m_statusSoon.setSingleShot(true);
    m_statusSoon.setInterval(STATUS_SETTLE_MS);
    QObject::connect(&m_statusSoon, &QTimer::timeout, this, [this] { UpdateStatus(); });
    m_nListener = m_host.pDay->Listen([this](const CDayChange& change) { OnDayChange(change); });
    UpdateChecks();
}

CDayExplorer::~CDayExplorer() {
    m_pWatch->Stop();
    m_host.pDay->StopListening(m_nListener);
}

void CDayExplorer::OnDayChange(const CDayChange& change) {
    switch (change.eKind) {
    case EDayChange::NewDay:
        OnNewDay();
        return;
    case EDayChange::Appended:
        OnAppended(change.nFirstChanged);
        return;
    case EDayChange::Trouble:
        m_strTrouble = change.strError; // once for each cause: the document says only new ones
        if (m_host.report) {
            m_host.report(change.strError);
        }
        break;
    case EDayChange::Gone:
    case EDayChange::Full:
        break;
    }
    UpdateStatus();
}

void CDayExplorer::OnNewDay() {
    m_strTrouble.clear();
    m_bFollowing = true;
    CChartView view = m_host.pChart->State().view;
    view.bTimeSet = false;
    m_host.pChart->SetView(view);
    m_host.pChart->SetCursor(false, 0.0);
    m_alarm.Configure(m_options.m_dWarningLevel, m_options.m_dAlertLevel,
                      m_options.m_nAlarmHoldSeconds);
    m_pWatch->Stop();
    m_pWatch->Start();
    ApplyValueScale();
    UpdateTitle();
    UpdateStatus();
}

void CDayExplorer::OnAppended(std::size_t nFirst) {
    m_strTrouble.clear();
    const CChartState& state = m_host.pChart->State();
    if (m_bFollowing && state.view.bTimeSet && !state.points.empty()) {
        CChartView view = state.view;
        const double dSpan = view.time.Span();
        const double dLast = state.points.back().dTime;
        view.time = ClampView({dLast - dSpan, dLast}, CChartInteraction::DayOf(state));
        m_host.pChart->SetView(view);
    }
    const std::span<const FieldSample> records = m_host.pDay->Records();
    if (m_alarm.Feed(records.subspan(std::min(nFirst, records.size())))) {
        UpdateTitle();
        if (m_alarm.InAlarm()) {
            QApplication::alert(m_host.pWindow->GetSafeHwnd());
        }
        UpdateStatus(); // an alarm shows at once
    } else if (!m_statusSoon.isActive()) {
        m_statusSoon.start();
    }
    ApplyValueScale();
}

int CDayExplorer::StatusHeight() const {
    return m_options.m_bStatusBar ? m_pStatusBar->sizeHint().height() : 0;
}

void CDayExplorer::PlaceStatusBar(int nWidth, int nClientHeight) {
    const int nHeight = StatusHeight();
    m_pStatusBar->setGeometry(0, nClientHeight - nHeight, nWidth, nHeight);
}

void CDayExplorer::AddCommands(CCommandTable& commands) {
    auto zoom = [this](double dFactor) {
        const CChartRange shown = m_host.pChart->State().ShownTime();
        m_pInteraction->Zoom(dFactor, (shown.dLower + shown.dUpper) / 2);
    };
    commands.Add(ID_VIEW_WHOLE_DAY, [this] { m_pInteraction->ShowWholeDay(); });
    commands.Add(ID_VIEW_ZOOM_IN, [zoom] { zoom(0.5); });
    commands.Add(ID_VIEW_ZOOM_OUT, [zoom] { zoom(2.0); });
    commands.Add(ID_VIEW_FIT_SCALE, [this] {
        m_bFitScale = !m_bFitScale;
        ApplyValueScale();
        UpdateChecks();
    });
    commands.Add(ID_VIEW_FIXED_SCALE, [this] { AskFixedScale(); });
    commands.Add(ID_VIEW_ALARM_LEVELS, [this] { AskAlarmLevels(); });
    commands.Add(ID_VIEW_FOLLOW, [this] { OnChartAction(EChartAction::FollowRequested); });
    commands.Add(ID_VIEW_FOLLOW_NEWEST, [this] {
        m_options.m_bFollowNewest = !m_options.m_bFollowNewest;
        m_pWatch->SetFollowNewest(m_options.m_bFollowNewest);
        SaveOptions();
        UpdateChecks();
        if (m_options.m_bFollowNewest) {
            m_pWatch->Poll();
        }
    });
    commands.Add(ID_VIEW_STATUS_BAR, [this] {
        m_options.m_bStatusBar = !m_options.m_bStatusBar;
        m_pStatusBar->setVisible(m_options.m_bStatusBar);
        SaveOptions();
        UpdateChecks();
        if (m_host.relayout) {
            m_host.relayout(); // the chart takes the room the bar gives up, or gives it back
        }
    });
}

void CDayExplorer::OnChartAction(EChartAction eAction) {
    const CChartState& state = m_host.pChart->State();
    switch (eAction) {
    case EChartAction::ViewChanged: {
        // The view follows while it still ends at the newest reading.
        const double dLast = state.points.empty() ? 0.0 : state.points.back().dTime;
        m_bFollowing = !state.view.bTimeSet || state.view.time.dUpper >= dLast;
        ApplyValueScale();
        break;
    }
    case EChartAction::FollowRequested: {
        m_bFollowing = true;
        if (state.view.bTimeSet && !state.points.empty()) {
            const double dSpan = state.view.time.Span();
            const double dLast = state.points.back().dTime;
            CChartView view = state.view;
            view.time = ClampView({dLast - dSpan, dLast}, CChartInteraction::DayOf(state));
            m_host.pChart->SetView(view);
        }
        ApplyValueScale();
        break;
    }
    case EChartAction::CursorMoved:
        break;
    }
    UpdateStatus();
}

void CDayExplorer::ApplyValueScale() {
    const CChartState& state = m_host.pChart->State();
    double dScale = 0.0;
    if (m_options.m_dFixedScale > 0.0) {
        dScale = m_options.m_dFixedScale;
    } else if (m_bFitScale) {
        dScale = FitValueScale(CPointIndex(state.points, state.bPointsOrdered), state.ShownTime());
    }
    const bool bSet = dScale > 0.0;
    if (bSet == state.view.bValueSet && (!bSet || state.view.value.dUpper == dScale)) {
        return;
    }
    CChartView view = state.view;
    view.bValueSet = bSet;
    view.value = {-dScale, dScale};
    m_host.pChart->SetView(view);
    if (m_host.relayout) {
        m_host.relayout(); // a scale with wider labels may need a larger minimum size
    }
}

void CDayExplorer::UpdateTitle() {
    if (m_host.setTitle) {
        const std::string& strPath = m_host.pDay->Path();
        m_host.setTitle(m_alarm.InAlarm() ? "ALERT - " + strPath : strPath);
    }
}

void CDayExplorer::UpdateStatus() {
    const CChartState& state = m_host.pChart->State();
    std::string str;
    auto add = [&str](const std::string& strPart) {
        if (!strPart.empty()) {
            str += (str.empty() ? "" : "   ") + strPart;
        }
    };
    if (m_alarm.InAlarm()) {
        add("ALERT since " + ClockOf(m_alarm.Began()));
    }
    const CDayDocument& day = *m_host.pDay;
    add(day.Date() ? day.Date()->Text() : std::string());
    add(std::to_string(state.points.size()) + " readings");
    // The lowest and highest readings of the day, with their times, kept as they arrive.
    if (const CDayExtremes& extremes = day.Extremes(); extremes.bAny) {
        add("min " + Value(extremes.min.dValue) + " at " + ClockOf(extremes.min.dTime) + ", max " +
            Value(extremes.max.dValue) + " at " + ClockOf(extremes.max.dTime));
    }
    const CChartRange shown = state.ShownTime();
    if (state.view.bTimeSet) {
        add("view " + ClockOf(shown.dLower) + "-" + ClockOf(shown.dUpper));
    }
    const CPointIndex index(state.points, state.bPointsOrdered);
    if (state.overlay.bCursor) {
        const CChartGeometry geometry = m_host.pChart->Geometry();
        const double dColumn = shown.Span() / std::max(1.0, geometry.Plot().Width());
        const CReadout readout = ReadoutAt(index, state.overlay.dCursorTime, dColumn, dColumn * 4);
        if (!readout.bAny) {
            add(ClockOf(state.overlay.dCursorTime) + "  no reading");
        } else if (readout.bSingle) {
            add(ClockOf(readout.dTime) + "  " + Value(readout.dValue) + " kV/m");
        } else {
            add(ClockOf(readout.dTime) + "  " + Value(readout.dMin) + " to " + Value(readout.dMax) +
                " kV/m");
        }
    }
    const CAlarmLevels& alarms = state.overlay.alarms;
    for (const auto& [dLevel, pszName] :
         {std::pair{alarms.dWarning, "warning"}, std::pair{alarms.dAlert, "alert"}}) {
        if (dLevel > 0.0) {
            add(std::string(pszName) + " " + Duration(SecondsAtOrAbove(index, shown, dLevel)));
        }
    }
    if (day.Gone()) {
        add("the file is gone");
    }
    if (day.Full()) {
        add("the day is full: later readings are not shown");
    }
    if (!day.WholeRead().strReadError.empty()) {
        add("read error: " + day.WholeRead().strReadError);
    }
    if (!m_strTrouble.empty()) {
        add(m_strTrouble);
    }
    m_pStatus->setText(QString::fromStdString(str));
    m_pStatus->setStyleSheet(m_alarm.InAlarm() ? QString::fromLatin1(ALERT_STYLE) : QString());
    m_pFollow->setEnabled(!m_bFollowing);
}

void CDayExplorer::UpdateChecks() {
    m_host.pWindow->CheckMenuCommand(ID_VIEW_FIT_SCALE, m_bFitScale);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_FOLLOW_NEWEST, m_options.m_bFollowNewest);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_STATUS_BAR, m_options.m_bStatusBar);
}

void CDayExplorer::AskAlarmLevels() {
    const auto values = AskInputForm(
        "Alarm levels",
        "Levels of |E| in kV/m (leave empty for none), and how many seconds the field must stay "
        "above the alert level before the alarm shows while a day is followed:",
        {{"Warning level", FormatLevel(m_options.m_dWarningLevel)},
         {"Alert level", FormatLevel(m_options.m_dAlertLevel)},
         {"Hold time (s)", std::to_string(m_options.m_nAlarmHoldSeconds)}},
        m_host.pWindow->GetSafeHwnd());
    if (!values) {
        return;
    }
    double dWarning = 0.0;
    double dAlert = 0.0;
    int nHold = 0;
    if (!ParseLevel((*values)[0], &dWarning) || !ParseLevel((*values)[1], &dAlert) ||
        !ParseSeconds((*values)[2], MAX_HOLD_SECONDS, &nHold)) {
        AfxMessageBox("Levels are numbers of kV/m from 0 to 1000, and the hold time a number of "
                      "seconds from 0 to 3600. Nothing was changed.",
                      MB_OK);
        return;
    }
    m_options.m_dWarningLevel = dWarning;
    m_options.m_dAlertLevel = dAlert;
    m_options.m_nAlarmHoldSeconds = nHold;
    SaveOptions();
    m_host.pChart->SetAlarmLevels({dWarning, dAlert});
    m_alarm.Configure(dWarning, dAlert, m_options.m_nAlarmHoldSeconds);
    UpdateTitle();
    UpdateStatus();
}

void CDayExplorer::AskFixedScale() {
    const auto values = AskInputForm(
        "Fixed value scale",
        "The value scale runs from -M to M kV/m on every day, so that days can be compared. "
        "Leave it empty for each day's own scale.",
        {{"M (kV/m)", FormatLevel(m_options.m_dFixedScale)}}, m_host.pWindow->GetSafeHwnd());
    if (!values) {
        return;
    }
    double dScale = 0.0;
    if (!ParseLevel((*values)[0], &dScale)) {
        AfxMessageBox("The scale is a number of kV/m from 0 to 1000. Nothing was changed.", MB_OK);
        return;
    }
    m_options.m_dFixedScale = dScale;
    SaveOptions();
    ApplyValueScale();
    UpdateStatus();
}

void CDayExplorer::SaveOptions() {
    if (const COutcome saved = m_options.Save(); !saved.Ok() && m_host.report) {
        m_host.report(saved.Error());
    }
}
