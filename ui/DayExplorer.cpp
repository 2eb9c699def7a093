#include "ui/DayExplorer.h"

#include "chart/ChartTimeFormat.h"
#include "chart/StripChart.h"
#include "data/FileDate.h"
#include "platform/Dialog.h"
#include "platform/FileIdentity.h"
#include "platform/InputForm.h"
#include "platform/MessageBox.h"
#include "res/Resource.h"
#include "ui/ChartInteraction.h"
#include "ui/DayWatch.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include <cmath>
#include <cstdio>

namespace {
const char* const ALERT_STYLE = "QLabel { color: white; background: #c02020; }";

std::string ClockOf(double dTime) {
    return FormatChartTime(dTime, "%H:%M:%S", false);
}

std::string Value(double d) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%.3f", d);
    return sz;
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
        m_host.samples, [this](const CFollowStep& step) { OnFollowStep(step); },
        [this](const std::string& strPath) {
            if (m_host.openFile) {
                m_host.openFile(strPath);
            }
        },
        this);
    m_pWatch->SetFollowNewest(m_options.m_bFollowNewest);
    m_host.pChart->EditState().overlay.alarms = {m_options.m_dWarningLevel,
                                                 m_options.m_dAlertLevel};
    UpdateChecks();
}

CDayExplorer::~CDayExplorer() = default;

void CDayExplorer::OnDayLoaded(const std::string& strPath, const CFieldRead& day) {
    m_strPath = strPath;
    const auto date = FileDateOf(strPath);
    m_strDate = date ? date->Text() : std::string();
    m_bGone = false;
    // Full only when the file holds more than the day's array took.
    m_bFull =
        day.records.size() >= m_host.samples.size() && IdentityOf(strPath).nSize > day.nEndOffset;
    m_strReadError = day.strReadError;
    m_bFollowing = true;
    CChartState& state = m_host.pChart->EditState();
    state.view.bTimeSet = false;
    state.overlay.bCursor = false;
    m_alarm.Configure(m_options.m_dWarningLevel, m_options.m_dAlertLevel,
                      m_options.m_nAlarmHoldSeconds);
    m_pWatch->Stop();
    if (day.strReadError.empty()) {
        m_pWatch->Start(strPath, day);
    }
    ApplyValueScale();
    UpdateTitle();
    UpdateStatus();
}

int CDayExplorer::StatusHeight() const {
    return m_options.m_bStatusBar ? m_pStatusBar->sizeHint().height() : 0;
}

void CDayExplorer::PlaceStatusBar(int nWidth, int nClientHeight) {
    const int nHeight = StatusHeight();
    m_pStatusBar->setGeometry(0, nClientHeight - nHeight, nWidth, nHeight);
}

bool CDayExplorer::OnCommand(unsigned nID) {
    const CChartRange shown = m_host.pChart->State().ShownTime();
    switch (nID) {
    case ID_VIEW_WHOLE_DAY:
        m_pInteraction->ShowWholeDay();
        return true;
    case ID_VIEW_ZOOM_IN:
    case ID_VIEW_ZOOM_OUT:
        m_pInteraction->Zoom(nID == ID_VIEW_ZOOM_IN ? 0.5 : 2.0, (shown.dLower + shown.dUpper) / 2);
        return true;
    case ID_VIEW_FIT_SCALE:
        m_bFitScale = !m_bFitScale;
        ApplyValueScale();
        UpdateChecks();
        return true;
    case ID_VIEW_FIXED_SCALE:
        AskFixedScale();
        return true;
    case ID_VIEW_ALARM_LEVELS:
        AskAlarmLevels();
        return true;
    case ID_VIEW_FOLLOW:
        OnChartAction(EChartAction::FollowRequested);
        return true;
    case ID_VIEW_FOLLOW_NEWEST:
        m_options.m_bFollowNewest = !m_options.m_bFollowNewest;
        m_pWatch->SetFollowNewest(m_options.m_bFollowNewest);
        SaveOptions();
        UpdateChecks();
        if (m_options.m_bFollowNewest) {
            m_pWatch->Poll();
        }
        return true;
    case ID_VIEW_STATUS_BAR: {
        m_options.m_bStatusBar = !m_options.m_bStatusBar;
        m_pStatusBar->setVisible(m_options.m_bStatusBar);
        SaveOptions();
        UpdateChecks();
        if (m_host.relayout) {
            m_host.relayout(); // the chart takes the room the bar gives up, or gives it back
        }
        return true;
    }
    default:
        return false;
    }
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
            CChartState& edit = m_host.pChart->EditState();
            edit.view.time = ClampView({dLast - dSpan, dLast}, CChartInteraction::DayOf(edit));
        }
        ApplyValueScale();
        break;
    }
    case EChartAction::CursorMoved:
        break;
    }
    UpdateStatus();
}

void CDayExplorer::OnFollowStep(const CFollowStep& step) {
    switch (step.eKind) {
    case EFollow::Gone:
        m_bGone = true;
        break;
    case EFollow::Reloaded:
        if (m_host.openFile) {
            m_host.openFile(m_strPath); // read again whole, as a load does
        }
        return;
    case EFollow::ReadError:
        if (m_host.report) {
            m_host.report(step.strError);
        }
        break;
    case EFollow::Appended: {
        m_bGone = false;
        CChartState& state = m_host.pChart->EditState();
        state.points.resize(std::min(state.points.size(), step.nFirstChanged));
        for (std::size_t i = step.nFirstChanged; i < step.nRecords; ++i) {
            state.points.push_back({m_host.samples[i].dTime, m_host.samples[i].dValue});
        }
        // The value range only grows while following, so the trace never leaves the scale.
        if (step.summary.bAnyFinite) {
            const double dScale =
                std::ceil(std::max({state.value.dUpper, std::fabs(step.summary.dValueMin),
                                    std::fabs(step.summary.dValueMax)}));
            state.value = {-dScale, dScale};
        }
        if (m_bFollowing && state.view.bTimeSet && !state.points.empty()) {
            const double dSpan = state.view.time.Span();
            const double dLast = state.points.back().dTime;
            state.view.time = ClampView({dLast - dSpan, dLast}, CChartInteraction::DayOf(state));
        }
        const bool bChanged = m_alarm.Feed(
            m_host.samples.subspan(step.nFirstChanged, step.nRecords - step.nFirstChanged));
        if (bChanged) {
            UpdateTitle();
            if (m_alarm.InAlarm()) {
                QApplication::alert(m_host.pWindow->GetSafeHwnd());
            }
        }
        ApplyValueScale();
        break;
    }
    case EFollow::Unchanged:
        break;
    }
    m_bFull = step.bFull;
    UpdateStatus();
}

void CDayExplorer::ApplyValueScale() {
    const CChartState& state = m_host.pChart->State();
    double dScale = 0.0;
    if (m_options.m_dFixedScale > 0.0) {
        dScale = m_options.m_dFixedScale;
    } else if (m_bFitScale) {
        dScale = FitValueScale(CPointIndex(state.points), state.ShownTime());
    }
    const bool bSet = dScale > 0.0;
    if (bSet == state.view.bValueSet && (!bSet || state.view.value.dUpper == dScale)) {
        return;
    }
    CChartView& view = m_host.pChart->EditState().view;
    view.bValueSet = bSet;
    view.value = {-dScale, dScale};
}

void CDayExplorer::UpdateTitle() {
    if (m_host.setTitle) {
        m_host.setTitle(m_alarm.InAlarm() ? "ALERT - " + m_strPath : m_strPath);
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
    add(m_strDate);
    add(std::to_string(state.points.size()) + " readings");
    // The lowest and highest readings of the day, with their times.
    const CChartPoint* pMin = nullptr;
    const CChartPoint* pMax = nullptr;
    for (const CChartPoint& point : state.points) {
        if (std::isfinite(point.dValue)) {
            pMin = pMin == nullptr || point.dValue < pMin->dValue ? &point : pMin;
            pMax = pMax == nullptr || point.dValue > pMax->dValue ? &point : pMax;
        }
    }
    if (pMin != nullptr) {
        add("min " + Value(pMin->dValue) + " at " + ClockOf(pMin->dTime) + ", max " +
            Value(pMax->dValue) + " at " + ClockOf(pMax->dTime));
    }
    const CChartRange shown = state.ShownTime();
    if (state.view.bTimeSet) {
        add("view " + ClockOf(shown.dLower) + "-" + ClockOf(shown.dUpper));
    }
    const CPointIndex index(state.points);
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
    if (m_bGone) {
        add("the file is gone");
    }
    if (m_bFull) {
        add("the day is full: later readings are not shown");
    }
    if (!m_strReadError.empty()) {
        add("read error: " + m_strReadError);
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
    double dHold = 0.0;
    if (!ParseLevel((*values)[0], &dWarning) || !ParseLevel((*values)[1], &dAlert) ||
        !ParseLevel((*values)[2], &dHold) || dHold > 3600.0) {
        AfxMessageBox("Levels are numbers of kV/m from 0 to 1000, and the hold time a number of "
                      "seconds from 0 to 3600. Nothing was changed.",
                      MB_OK);
        return;
    }
    m_options.m_dWarningLevel = dWarning;
    m_options.m_dAlertLevel = dAlert;
    m_options.m_nAlarmHoldSeconds = static_cast<int>(dHold);
    SaveOptions();
    m_host.pChart->EditState().overlay.alarms = {dWarning, dAlert};
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
