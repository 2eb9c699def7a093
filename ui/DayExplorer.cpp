#include "ui/DayExplorer.h"

#include "chart/ChartTimeFormat.h"
#include "chart/SpanStatistics.h"
#include "chart/StripChart.h"
#include "data/NeighbourDay.h"
#include "platform/Dialog.h"
#include "platform/InputForm.h"
#include "platform/MessageBox.h"
#include "res/Resource.h"
#include "ui/ChartAccess.h"
#include "ui/ChartInteraction.h"
#include "ui/CommandTable.h"
#include "ui/DayWatch.h"
#include "ui/SpanPanel.h"
#include "ui/StatusFields.h"

#include <QApplication>
#include <QClipboard>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
constexpr int STATUS_SETTLE_MS = 250;
constexpr int MAX_HOLD_SECONDS = 3600;
constexpr const char* FOLLOW_TEXT = "Follow";
constexpr const char* FOLLOWING_TEXT = "Following";
// Beyond the fields and the Follow button: the status bar's own margins and the button's gap.
constexpr int STATUS_BAR_MARGINS = 24;

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
    m_pFields = new CStatusFields(m_pStatusBar);
    m_pStatusBar->addWidget(m_pFields, 1);
    // Checked while following; as wide for either text, so the fields do not shift.
    m_pFollow = new QToolButton(m_pStatusBar);
    m_pFollow->setCheckable(true);
    m_pFollow->setText(QString::fromLatin1(FOLLOWING_TEXT));
    m_pFollow->setMinimumWidth(m_pFollow->sizeHint().width());
    m_pFollow->setText(QString::fromLatin1(FOLLOW_TEXT));
    m_pStatusBar->addPermanentWidget(m_pFollow);
    QObject::connect(m_pFollow, &QToolButton::clicked, this, [this](bool bChecked) {
        if (bChecked) {
            OnChartAction(EChartAction::FollowRequested);
        } else {
            m_bFollowing = false; // the view stays where it is as readings arrive
            UpdateStatus();
        }
    });
    m_pStatusBar->setVisible(m_options.m_bStatusBar);
    m_pPanel = new CSpanPanel(m_host.pChart, [this] {
        m_bStatistics = false;
        UpdateChecks();
    });
    MakeChartAccessible(m_host.pChart);

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
    QObject::connect(&m_statusSoon, &QTimer::timeout, this, [this] {
        UpdateStatistics();
        UpdateStatus();
    });
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
    m_strNotice.clear();
    m_bFollowing = true;
    const CChartState& state = m_host.pChart->State();
    CChartView view = state.view;
    view.bTimeSet = false;
    if (m_keptView && m_keptView->bTimeSet) {
        // A neighbouring day: the same hours, so that two days compare.
        view.bTimeSet = true;
        view.time = ClampView(m_keptView->time, CChartInteraction::DayOf(state));
    }
    if (m_keptView) {
        const double dLast = state.points.empty() ? 0.0 : state.points.back().dTime;
        m_bFollowing = !m_bKeptPastDay && (!view.bTimeSet || view.time.dUpper >= dLast);
    }
    m_host.pChart->SetView(view);
    m_host.pChart->SetCursor(false, 0.0);
    m_alarm.Configure(m_options.m_dWarningLevel, m_options.m_dAlertLevel,
                      m_options.m_nAlarmHoldSeconds);
    m_pWatch->Stop();
    m_pWatch->Start();
    ApplyValueScale();
    UpdateTitle();
    UpdateStatistics();
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

int CDayExplorer::StatusMinimumWidth() const {
    if (!m_options.m_bStatusBar) {
        return 0;
    }
    // The widest read-out of a day within +-100 kV/m, or of this day's scale: a column from -M
    // to -M.
    char sz[32];
    std::snprintf(sz, sizeof sz, "-%.3f", std::max(100.0, m_host.pDay->ValueScale()));
    const QString strWidest =
        QStringLiteral("00:00:00  %1 to %1 kV/m").arg(QString::fromLatin1(sz));
    return m_pFields->fontMetrics().horizontalAdvance(strWidest) + m_pFollow->minimumWidth() +
           STATUS_BAR_MARGINS;
}

void CDayExplorer::SetPrintLandscape(bool bLandscape) {
    if (m_options.m_bPrintLandscape != bLandscape) {
        m_options.m_bPrintLandscape = bLandscape;
        SaveOptions();
        UpdateChecks();
    }
}

int CDayExplorer::StatusHeight() const {
    return m_options.m_bStatusBar ? m_pStatusBar->sizeHint().height() : 0;
}

void CDayExplorer::PlaceStatusBar(int nWidth, int nClientHeight) {
    // A large window's status line grows with its chart's text, to be read from across a room.
    QFont font = QApplication::font(m_pStatusBar);
    if (font.pointSizeF() > 0.0) {
        font.setPointSizeF(font.pointSizeF() *
                           ScreenTextScale(m_host.pWindow->GetSafeHwnd()->size()));
    }
    if (font != m_pStatusBar->font()) {
        const int nBefore = StatusHeight();
        m_pStatusBar->setFont(font);
        if (StatusHeight() != nBefore) {
            // The chart gives the taller line its room, once this layout is over.
            QTimer::singleShot(0, m_pStatusBar, [this] {
                if (m_host.relayout) {
                    m_host.relayout();
                }
            });
        }
    }
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
    commands.Add(ID_GO_PREVIOUS_DAY, [this] { GoToDay(-1); });
    commands.Add(ID_GO_NEXT_DAY, [this] { GoToDay(+1); });
    commands.Add(ID_VIEW_STATISTICS, [this] {
        m_bStatistics = !m_bStatistics;
        UpdateStatistics();
        UpdateChecks();
    });
    commands.Add(ID_EDIT_COPY_READOUT, [this] { CopyReadout(); });
    commands.Add(ID_FILE_PRINT_LANDSCAPE,
                 [this] { SetPrintLandscape(!m_options.m_bPrintLandscape); });
}

void CDayExplorer::GoToDay(int nStep) {
    const std::string& strCurrent = m_host.pDay->Path();
    const std::string strPath =
        strCurrent.empty() ? std::string() : NeighbourDay(strCurrent, nStep);
    if (strPath.empty()) {
        m_strNotice = nStep < 0 ? "no earlier day in this folder" : "no later day in this folder";
        QApplication::beep();
        UpdateStatus();
        return;
    }
    // Following stays off on a past day: one with a later day beside it in the folder.
    m_keptView = m_host.pChart->State().view;
    m_bKeptPastDay = !IsLatestDay(strPath);
    if (m_host.loadDay) {
        (void)m_host.loadDay(strPath); // one that does not open leaves the day as it was
    }
    m_keptView.reset();
}

void CDayExplorer::UpdateStatistics() {
    if (!m_bStatistics) {
        m_pPanel->hide();
        return;
    }
    const CChartState& state = m_host.pChart->State();
    m_pPanel->ShowStatistics(
        SpanStatisticsOf(CPointIndex(state.points), state.ShownTime(), state.overlay.alarms));
}

void CDayExplorer::CopyReadout() {
    const std::string strReadout = ReadoutText();
    if (strReadout.empty()) {
        m_strNotice = "no read-out to copy: point at the chart, or step with Ctrl+Left or "
                      "Ctrl+Right";
        QApplication::beep();
        UpdateStatus();
        return;
    }
    const CDayDocument& day = *m_host.pDay;
    QApplication::clipboard()->setText(
        QString::fromStdString(day.Date() ? day.Date()->Text() + " " + strReadout : strReadout));
}

std::string CDayExplorer::ReadoutText() const {
    const CChartState& state = m_host.pChart->State();
    if (!state.overlay.bCursor) {
        return {};
    }
    const CChartGeometry geometry = m_host.pChart->Geometry();
    const double dColumn = state.ShownTime().Span() / std::max(1.0, geometry.Plot().Width());
    const CReadout readout =
        ReadoutAt(CPointIndex(state.points), state.overlay.dCursorTime, dColumn, dColumn * 4);
    if (!readout.bAny) {
        return ClockOf(state.overlay.dCursorTime) + "  no reading";
    }
    if (readout.bSingle) {
        return ClockOf(readout.dTime) + "  " + Value(readout.dValue) + " kV/m";
    }
    return ClockOf(readout.dTime) + "  " + Value(readout.dMin) + " to " + Value(readout.dMax) +
           " kV/m";
}

void CDayExplorer::UpdateAccessibleDescription() {
    const CDayDocument& day = *m_host.pDay;
    const CChartRange shown = m_host.pChart->State().ShownTime();
    std::string str = day.Date() ? "Day " + day.Date()->Text() : std::string("Day without a date");
    str += ", shown from " + ClockOf(shown.dLower) + " to " +
           FormatChartTime(shown.dUpper, "%H:%M:%S", true);
    if (const CDayExtremes& extremes = day.Extremes(); extremes.bAny) {
        const bool bLow = std::fabs(extremes.min.dValue) > std::fabs(extremes.max.dValue);
        const CDayExtreme& largest = bLow ? extremes.min : extremes.max;
        str += ", largest |E| " + Value(std::fabs(largest.dValue)) + " kV/m at " +
               ClockOf(largest.dTime);
    } else {
        str += ", no readings";
    }
    const QString strDescription = QString::fromStdString(str);
    if (m_host.pChart->accessibleDescription() != strDescription) {
        m_host.pChart->setAccessibleDescription(strDescription);
    }
}

void CDayExplorer::OnChartAction(EChartAction eAction) {
    m_strNotice.clear(); // said until the user does something else
    const CChartState& state = m_host.pChart->State();
    switch (eAction) {
    case EChartAction::ViewChanged: {
        // The view follows while it still ends at the newest reading.
        const double dLast = state.points.empty() ? 0.0 : state.points.back().dTime;
        m_bFollowing = !state.view.bTimeSet || state.view.time.dUpper >= dLast;
        ApplyValueScale();
        UpdateStatistics();
        break;
    }
    case EChartAction::SpanChosen:
        m_bStatistics = true; // the span chosen is worth its figures
        UpdateStatistics();
        UpdateChecks();
        break;
    case EChartAction::CursorStepped:
        SetChartReadout(m_host.pChart, ReadoutText(), true);
        break;
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
        UpdateStatistics();
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
        dScale = FitValueScale(CPointIndex(state.points), state.ShownTime());
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
    const CDayDocument& day = *m_host.pDay;
    CStatusFields& fields = *m_pFields;

    const std::string strReadout = ReadoutText();
    fields.Set(STATUS_READOUT, strReadout, "The reading under the cursor: " + strReadout);
    SetChartReadout(m_host.pChart, strReadout, false);
    UpdateAccessibleDescription();

    const std::string strAlert =
        m_alarm.InAlarm() ? "ALERT since " + ClockOf(m_alarm.Began()) : std::string();
    fields.Set(STATUS_ALERT, strAlert,
               strAlert.empty() ? std::string()
                                : "The field has stayed at or above the alert level since " +
                                      ClockOf(m_alarm.Began()),
               EStatusTone::Alert);

    std::string strTrouble;
    auto addTrouble = [&strTrouble](const std::string& strPart) {
        if (!strPart.empty()) {
            strTrouble += (strTrouble.empty() ? "" : "; ") + strPart;
        }
    };
    addTrouble(day.Gone() ? "the file is gone" : "");
    addTrouble(day.Full() ? "the day is full: later readings are not shown" : "");
    addTrouble(
        day.WholeRead().strReadError.empty() ? "" : "read error: " + day.WholeRead().strReadError);
    addTrouble(m_strTrouble);
    addTrouble(m_strNotice);
    fields.Set(STATUS_TROUBLE, strTrouble);

    const CChartRange shown = state.ShownTime();
    const std::string strFrom = ClockOf(shown.dLower);
    const std::string strTo = FormatChartTime(shown.dUpper, "%H:%M:%S", true);
    fields.Set(STATUS_VIEW, state.view.bTimeSet ? "View " + strFrom + "-" + strTo : std::string(),
               "The span of the day in view: " + strFrom + " to " + strTo);

    // The lowest and highest readings of the day, with their times, kept as they arrive.
    if (const CDayExtremes& extremes = day.Extremes(); extremes.bAny) {
        const std::string strMin =
            Value(extremes.min.dValue) + " at " + ClockOf(extremes.min.dTime);
        const std::string strMax =
            Value(extremes.max.dValue) + " at " + ClockOf(extremes.max.dTime);
        fields.Set(STATUS_EXTREMES, "Day min " + strMin + ", max " + strMax,
                   "The whole day's lowest reading: " + strMin + " kV/m; its highest: " + strMax +
                       " kV/m");
    } else {
        fields.Set(STATUS_EXTREMES, "");
    }

    std::string strLevels;
    std::string strLevelsTip;
    const CPointIndex index(state.points);
    const CAlarmLevels& alarms = state.overlay.alarms;
    for (const auto& [dLevel, pszName] :
         {std::pair{alarms.dWarning, "warning"}, std::pair{alarms.dAlert, "alert"}}) {
        if (dLevel > 0.0) {
            const std::string strTime = Duration(SecondsAtOrAbove(index, shown, dLevel));
            strLevels +=
                (strLevels.empty() ? "View " : ", ") + std::string(pszName) + " " + strTime;
            strLevelsTip += (strLevelsTip.empty() ? "" : "; ") + std::string("at or above the ") +
                            pszName + " level (" + FormatLevel(dLevel) + " kV/m) " + strTime;
        }
    }
    fields.Set(STATUS_LEVELS, strLevels, "Time |E| spent in view " + strLevelsTip);

    fields.Set(STATUS_DATE, day.Date() ? day.Date()->Text() : std::string(),
               "The day's date, from the file's name");
    fields.Set(STATUS_READINGS, "Day " + std::to_string(state.points.size()) + " readings",
               "Readings of the whole day: " + std::to_string(state.points.size()));

    m_pFollow->setChecked(m_bFollowing);
    m_pFollow->setText(QString::fromLatin1(m_bFollowing ? FOLLOWING_TEXT : FOLLOW_TEXT));
    m_pFollow->setToolTip(m_bFollowing ? QStringLiteral("Following: the newest reading stays in "
                                                        "view. Click to stay where the view is.")
                                       : QStringLiteral("Keep the newest reading in view (End)"));
}

void CDayExplorer::UpdateChecks() {
    m_host.pWindow->CheckMenuCommand(ID_VIEW_FIT_SCALE, m_bFitScale);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_FOLLOW_NEWEST, m_options.m_bFollowNewest);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_STATUS_BAR, m_options.m_bStatusBar);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_STATISTICS, m_bStatistics);
    m_host.pWindow->CheckMenuCommand(ID_FILE_PRINT_LANDSCAPE, m_options.m_bPrintLandscape);
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
    UpdateStatistics();
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
