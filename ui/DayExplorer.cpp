#include "ui/DayExplorer.h"

#include "chart/ChartTimeFormat.h"
#include "chart/SpanStatistics.h"
#include "chart/StripChart.h"
#include "data/DaySummary.h"
#include "data/NeighbourDay.h"
#include "platform/Dialog.h"
#include "platform/InputForm.h"
#include "platform/MessageBox.h"
#include "res/Resource.h"
#include "ui/AlarmBanner.h"
#include "ui/AlarmSound.h"
#include "ui/ChartAccess.h"
#include "ui/ChartInteraction.h"
#include "ui/CommandTable.h"
#include "ui/DayWatch.h"
#include "ui/SpanPanel.h"
#include "ui/StatusFields.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
constexpr int STATUS_SETTLE_MS = 250;
constexpr int TICK_MS = 1000;
const char* const ALERT_STYLE = "QLabel { color: white; background: #c02020; }";
const char* const QUIET_STYLE = "QLabel { color: black; background: #ffb000; }";
constexpr double FLASH_COUNT_SECONDS = 600.0; // the status line counts the last ten minutes
const char* const ACKNOWLEDGE_HINT = "Click or Ctrl+K to acknowledge";
constexpr int MAX_HOLD_SECONDS = 3600;
constexpr const char* FOLLOW_TEXT = "Follow";
constexpr const char* FOLLOWING_TEXT = "Following";
// Beyond the fields and the Follow button: the status bar's own margins and the button's gap.
constexpr int STATUS_BAR_MARGINS = 24;

std::string ClockOf(double dTime) {
    return FormatChartTime(dTime, "%H:%M:%S", false);
}

// A level as the banner and the messages name it: "5", "2.5".
std::string Kv(double dLevel) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%g", dLevel);
    return sz;
}

// The countdown: "12:34", or "1:02:03" from an hour on.
std::string Countdown(double dSeconds) {
    // Up to the whole second, but day numbers may make 59 s a hair more.
    const long n = std::lround(std::ceil(dSeconds - 1e-3));
    char sz[32];
    if (n >= 3600) {
        std::snprintf(sz, sizeof sz, "%ld:%02ld:%02ld", n / 3600, (n / 60) % 60, n % 60);
    } else {
        std::snprintf(sz, sizeof sz, "%02ld:%02ld", n / 60, n % 60);
    }
    return sz;
}

// Reads a level field of the alarm form; the message names the field and says what is wrong.
// Empty is "not set" (0) where bEmptyIsNone, else the default given.
bool ReadLevelField(const std::string& strField, const std::string& strText, double dEmpty,
                    double* pdLevel, std::string* pstrWhy) {
    if (strText.empty()) {
        *pdLevel = dEmpty;
        return true;
    }
    double d = 0.0;
    const char* pEnd = strText.data() + strText.size();
    const auto result = std::from_chars(strText.data(), pEnd, d, std::chars_format::fixed);
    if (result.ptr != pEnd || std::isnan(d) ||
        (result.ec != std::errc() && result.ec != std::errc::result_out_of_range)) {
        *pstrWhy = strField + ": \"" + strText + "\" is not a number of kV/m.";
    } else if (result.ec == std::errc::result_out_of_range || !std::isfinite(d) ||
               d > MAX_FIELD_LEVEL) {
        *pstrWhy = strField + ": at most " + Kv(MAX_FIELD_LEVEL) + " kV/m.";
    } else if (!(d > 0.0)) {
        *pstrWhy = strField + ": must be above 0 kV/m (leave it empty for none).";
    } else {
        *pdLevel = d;
        return true;
    }
    return false;
}

// Reads a whole number field from nMin to nMax; empty gives nEmpty.
bool ReadWholeField(const std::string& strField, const std::string& strText, int nMin, int nMax,
                    int nEmpty, const char* pszUnit, int* pn, std::string* pstrWhy) {
    if (strText.empty()) {
        *pn = nEmpty;
        return true;
    }
    int n = 0;
    const char* pEnd = strText.data() + strText.size();
    const auto result = std::from_chars(strText.data(), pEnd, n);
    if (result.ec == std::errc() && result.ptr == pEnd && n >= nMin && n <= nMax) {
        *pn = n;
        return true;
    }
    *pstrWhy = strField + ": a whole number of " + pszUnit + " from " + std::to_string(nMin) +
               " to " + std::to_string(nMax) + ".";
    return false;
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
    m_pQuiet = new QLabel(m_pStatusBar);
    m_pQuiet->setTextFormat(Qt::PlainText);
    m_pQuiet->setStyleSheet(QString::fromLatin1(QUIET_STYLE));
    m_pQuiet->hide();
    m_pStatusBar->insertWidget(0, m_pQuiet); // first, where it is seen
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
    m_pBanner = new CAlarmBanner(m_host.pClient);
    m_pBanner->SetOnClicked([this] {
        if (m_bLastAlert) {
            m_bLastAlert = false;
            UpdateBanner();
        }
    });
    m_pSound = new CAlarmSound(this);
    m_tick.setInterval(TICK_MS);
    QObject::connect(&m_tick, &QTimer::timeout, this, [this] { OnTick(); });
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
            if (!m_host.openFile) {
                return COutcome::Fail(strPath);
            }
            m_bOpeningNext = true; // the alarm and the follow span go on into the next day
            const COutcome opened = m_host.openFile(strPath);
            m_bOpeningNext = false;
            return opened;
        },
        [this](const std::string& strWhy) {
            m_strTrouble = strWhy;
            UpdateStatus();
        },
        this);
    m_pWatch->SetFollowNewest(m_options.m_bFollowNewest);
    m_host.pChart->SetAlarmLevels({m_options.m_dWarningLevel, m_options.m_dAlertLevel});
    m_host.pChart->SetFieldUnit({m_options.m_bPotentialGradient});
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
        OnNewDay(change.bReread);
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
        m_eQuiet = EQuiet::Gone;
        UpdateBanner();
        UpdateTick();
        break;
    case EDayChange::Full:
        break;
    }
    UpdateStatus();
}

void CDayExplorer::OnNewDay(bool bReread) {
    m_strTrouble.clear();
    m_strNotice.clear();
    if (m_keptView) {
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
    } else {
        // Into the next day, a followed view keeps its span, zoomed by hand or chosen.
        const CChartView& before = m_host.pChart->State().view;
        const double dKeptSpan =
            m_bOpeningNext && m_bFollowing && before.bTimeSet ? before.time.Span() : 0.0;
        m_bFollowing = true;
        ShowFollowSpan(dKeptSpan);
    }
    m_host.pChart->SetCursor(false, 0.0);
    const std::span<const FieldSample> records = m_host.pDay->Records();
    const bool bGoOn = m_bOpeningNext && m_bLive && m_alarm.Level() != EAlarmLevel::None;
    if (bReread) {
        // A file replaced under the logger's name: the alarm goes on from the readings it had,
        // with those of the new file that come after them.
        m_nFed = 0;
        const std::optional<double> last = m_alarm.LastReading();
        while (last && m_nFed < records.size() && records[m_nFed].dTime <= *last) {
            ++m_nFed;
        }
        m_eQuiet = EQuiet::Replaced;
        FeedAlarm(true);
    } else {
        if (bGoOn) {
            // The next day's file counts its readings from the same day number as this one's.
            m_alarm.ShiftDays(-1.0);
            m_dLastReading -= 1.0;
        } else {
            m_alarm.Configure(AlarmRuleOf(m_options));
            m_bLastAlert = false;
            m_bAnyReading = false;
        }
        m_nFed = 0;
        m_eQuiet = EQuiet::None;
        // A day opened shows the alarm as following it would have left it, without a sound.
        FeedAlarm(bGoOn);
        m_bLive = m_bOpeningNext; // the logger has started the next day's file
    }
    m_sinceReading.start();
    m_flashes.clear();
    FindNewFlashes(0);
    m_pWatch->Stop();
    m_pWatch->Start();
    ApplyValueScale();
    UpdateTitle();
    UpdateBanner();
    UpdateTick();
    UpdateStatistics();
    UpdateStatus();
}

void CDayExplorer::FeedAlarm(bool bAnnounce) {
    const std::span<const FieldSample> records = m_host.pDay->Records();
    if (m_nFed >= records.size()) {
        return;
    }
    const bool bWasAlarm = m_alarm.InAlarm();
    (void)m_alarm.Feed(records.subspan(m_nFed));
    m_nFed = records.size();
    if (const std::optional<double> last = m_alarm.LastReading()) {
        m_bAnyReading = true;
        m_dLastReading = *last;
    } else if (!records.empty()) {
        m_bAnyReading = true;
        m_dLastReading = records.back().dTime;
    }
    if (m_alarm.InAlarm() == bWasAlarm) {
        return;
    }
    UpdateTitle();
    if (!bAnnounce) {
        return;
    }
    if (m_alarm.InAlarm()) {
        m_bLastAlert = false;
        QApplication::alert(m_host.pWindow->GetSafeHwnd());
        if (m_options.m_bAlarmSound) {
            m_pSound->Play();
        }
    } else {
        m_bLastAlert = m_alarm.LastEpisode().has_value();
    }
}

void CDayExplorer::FindNewFlashes(std::size_t nFirst) {
    const std::size_t nBefore = m_flashes.size();
    const double dLastBefore = m_flashes.empty() ? 0.0 : m_flashes.back().dTime;
    FindFlashesFrom(m_host.pDay->Records(), nFirst, m_options.m_dFlashStep, m_flashes);
    if (m_flashes.size() == nBefore && nFirst > 0 &&
        (m_flashes.empty() || m_flashes.back().dTime == dLastBefore)) {
        return; // the chart's marks stand
    }
    m_flashTimes.clear();
    for (const CFlash& flash : m_flashes) {
        m_flashTimes.push_back(flash.dTime);
    }
    m_host.pChart->SetFlashMarks(m_flashTimes);
}

void CDayExplorer::ShowFollowSpan(double dSpan) {
    const CChartState& state = m_host.pChart->State();
    CChartView view = state.view;
    if (!(dSpan > 0.0)) {
        dSpan = m_options.m_nFollowSpanMinutes * 60.0 / SECONDS_PER_DAY;
    }
    view.bTimeSet = dSpan > 0.0;
    if (view.bTimeSet) {
        const CChartRange day = CChartInteraction::DayOf(state);
        const double dLast = state.points.empty() ? day.dLower : state.points.back().dTime;
        view.time = ClampView({dLast - dSpan, dLast}, day);
    }
    m_host.pChart->SetView(view);
}

void CDayExplorer::SetFollowSpan(int nMinutes) {
    m_options.m_nFollowSpanMinutes = nMinutes;
    SaveOptions();
    UpdateChecks();
    m_bFollowing = true;
    ShowFollowSpan();
    ApplyValueScale();
    UpdateStatus();
}

void CDayExplorer::OnTick() {
    if (m_bLive && m_eQuiet == EQuiet::None && m_pWatch->Active() && m_sinceReading.isValid() &&
        m_sinceReading.elapsed() >= static_cast<qint64>(m_options.m_nStallSeconds) * 1000) {
        m_eQuiet = EQuiet::Stalled; // never an all-clear: the alarm stays as it is
        UpdateBanner();
        UpdateStatus();
    }
    UpdateBanner();
    UpdateTick();
}

void CDayExplorer::UpdateTick() {
    // Something to count down, or a logger to keep an eye on.
    const bool bNeeded = m_alarm.Level() != EAlarmLevel::None ||
                         (m_bLive && m_eQuiet == EQuiet::None && m_pWatch->Active());
    if (bNeeded && !m_tick.isActive()) {
        m_tick.start();
    } else if (!bNeeded && m_tick.isActive()) {
        m_tick.stop();
    }
}

void CDayExplorer::UpdateBanner() {
    CBannerContent content;
    const CAlarmRule& rule = m_alarm.Rule();
    const EAlarmLevel eLevel = m_alarm.Level();
    const bool bQuiet = m_eQuiet != EQuiet::None;
    if (eLevel != EAlarmLevel::None) {
        const bool bAlert = eLevel == EAlarmLevel::Alert;
        content.eTone = bAlert ? EBannerTone::Alert : EBannerTone::Warning;
        const double dLevel = bAlert ? rule.dAlert : rule.dWarning;
        content.strMain = std::string(bAlert ? "ALERT" : "WARNING") +
                          (dLevel > 0.0 ? " |E| \u2265 " + Kv(dLevel) + " kV/m" : std::string()) +
                          " since " + ClockOf(m_alarm.Began());
        content.strCountdown =
            "All clear in " + Countdown(m_alarm.SecondsToClear()) + (bQuiet ? " (stopped)" : "");
    } else if (m_bLastAlert && m_alarm.LastEpisode()) {
        const CAlarmEpisode episode = *m_alarm.LastEpisode();
        content.strMain =
            "Last alert " + ClockOf(episode.dBegan) + "\u2013" + ClockOf(episode.dEnded);
        content.strHint = ACKNOWLEDGE_HINT;
    }
    if (bQuiet) {
        const std::string strSince =
            m_bAnyReading ? "no readings since " + ClockOf(m_dLastReading) : "no readings";
        switch (m_eQuiet) {
        case EQuiet::Gone:
            content.strQuiet = "File gone: " + strSince;
            break;
        case EQuiet::Replaced:
            content.strQuiet = "File replaced: " + strSince;
            break;
        default:
            content.strQuiet = strSince;
            content.strQuiet[0] = 'N';
            break;
        }
    }
    const bool bWasShown = m_pBanner->isVisible();
    m_pBanner->SetContent(content);
    if (content.Empty() == bWasShown) {
        m_pBanner->setVisible(!content.Empty());
        m_pBanner->raise();
        if (m_host.relayout) {
            m_host.relayout(); // the chart gives the band its room, or takes it back
        }
    }
}

void CDayExplorer::OnAppended(std::size_t nFirst) {
    m_strTrouble.clear();
    m_bLive = true;
    m_sinceReading.start();
    const EAlarmLevel eBefore = m_alarm.Level();
    const EQuiet eQuietBefore = m_eQuiet;
    m_eQuiet = EQuiet::None;
    const CChartState& state = m_host.pChart->State();
    if (m_bFollowing && state.view.bTimeSet && !state.points.empty()) {
        CChartView view = state.view;
        const double dSpan = view.time.Span();
        const double dLast = state.points.back().dTime;
        view.time = ClampView({dLast - dSpan, dLast}, CChartInteraction::DayOf(state));
        m_host.pChart->SetView(view);
    }
    FeedAlarm(true);
    FindNewFlashes(nFirst);
    if (m_alarm.Level() != eBefore || m_eQuiet != eQuietBefore) {
        UpdateBanner();
        UpdateTick();
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
    const CFieldUnit& unit = m_host.pChart->State().unit;
    const std::string strEnd = "-" + unit.FormatSize(std::max(100.0, m_host.pDay->ValueScale()));
    const QString strWidest =
        QString::fromStdString("00:00:00  " + strEnd + " to " + strEnd + " " + unit.Unit());
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

int CDayExplorer::BannerHeight() const {
    return m_pBanner->isVisible() ? m_pBanner->BandHeight() : 0;
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
    m_pBanner->setGeometry(0, 0, nWidth, m_pBanner->BandHeight());
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
    commands.Add(ID_VIEW_POTENTIAL_GRADIENT, [this] {
        m_options.m_bPotentialGradient = !m_options.m_bPotentialGradient;
        m_host.pChart->SetFieldUnit({m_options.m_bPotentialGradient});
        if (m_host.relayout) {
            m_host.relayout(); // the gradient's labels are wider: the least size may grow
        }
        SaveOptions();
        UpdateChecks();
        UpdateStatistics();
        UpdateAccessibleDescription();
        UpdateStatus();
        if (m_host.unitChanged) {
            m_host.unitChanged();
        }
    });
    commands.Add(ID_VIEW_ALARM_SOUND, [this] {
        m_options.m_bAlarmSound = !m_options.m_bAlarmSound;
        SaveOptions();
        UpdateChecks();
    });
    commands.Add(ID_VIEW_ACKNOWLEDGE, [this] {
        m_bLastAlert = false;
        UpdateBanner();
    });
    for (const auto& [nId, nMinutes] :
         {std::pair{ID_VIEW_FOLLOW_SPAN_15, 15}, std::pair{ID_VIEW_FOLLOW_SPAN_30, 30},
          std::pair{ID_VIEW_FOLLOW_SPAN_60, 60}, std::pair{ID_VIEW_FOLLOW_SPAN_180, 180},
          std::pair{ID_VIEW_FOLLOW_SPAN_DAY, 0}}) {
        commands.Add(nId, [this, nMinutes = nMinutes] { SetFollowSpan(nMinutes); });
    }
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
    m_pPanel->ShowStatistics(SpanStatisticsOf(CPointIndex(state.points), state.ShownTime(),
                                              state.overlay.alarms, state.unit));
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
    const CFieldUnit& unit = state.unit;
    if (readout.bSingle) {
        return ClockOf(readout.dTime) + "  " + unit.FormatWithUnit(readout.dValue);
    }
    const CShownExtremes shown = ShownExtremes(unit, {readout.dMin}, {readout.dMax});
    return ClockOf(readout.dTime) + "  " + unit.Format(shown.low.dValue) + " to " +
           unit.FormatWithUnit(shown.high.dValue);
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
        const CFieldUnit& unit = m_host.pChart->State().unit;
        str += std::string(", largest ") + (unit.bPotentialGradient ? "|PG| " : "|E| ") +
               unit.FormatSize(std::fabs(largest.dValue)) + " " + unit.Unit() + " at " +
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
        dScale = FitValueScale(CPointIndex(state.points, state.bPointsOrdered), state.ShownTime());
    }
    // While following, the alarm levels' lines are always on screen, clear of the frame.
    const double dLevels = std::max(m_options.m_dWarningLevel, m_options.m_dAlertLevel);
    if (m_bFollowing && dLevels > 0.0) {
        const double dNeeded = std::floor(dLevels) + 1.0;
        if ((dScale > 0.0 ? dScale : state.value.dUpper) < dNeeded) {
            dScale = dNeeded;
        }
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

    std::string strFlashes;
    if (!m_flashes.empty() && !state.points.empty()) {
        // By the readings' clock, as the alarm counts.
        const std::size_t nFlashes =
            FlashesWithin(m_flashes, state.points.back().dTime, FLASH_COUNT_SECONDS);
        strFlashes = std::to_string(nFlashes) + (nFlashes == 1 ? " flash" : " flashes") +
                     " in the last 10 min";
    }
    fields.Set(STATUS_FLASHES, strFlashes,
               "Probable lightning flashes (steps of the field) in the last ten minutes");

    // The lowest and highest readings of the day, with their times, kept as they arrive.
    if (const CDayExtremes& extremes = day.Extremes(); extremes.bAny) {
        const CFieldUnit& unit = state.unit;
        const CShownExtremes shown = ShownExtremes(unit, {extremes.min.dValue, extremes.min.dTime},
                                                   {extremes.max.dValue, extremes.max.dTime});
        const std::string strMin =
            unit.Format(shown.low.dValue) + " at " + ClockOf(shown.low.dTime);
        const std::string strMax =
            unit.Format(shown.high.dValue) + " at " + ClockOf(shown.high.dTime);
        const std::string strUnit = std::string(" ") + unit.Unit();
        fields.Set(STATUS_EXTREMES, "Day min " + strMin + ", max " + strMax,
                   "The whole day's lowest reading: " + strMin + strUnit +
                       "; its highest: " + strMax + strUnit);
    } else {
        fields.Set(STATUS_EXTREMES, "");
    }

    std::string strLevels;
    std::string strLevelsTip;
    const CPointIndex index(state.points, state.bPointsOrdered);
    const CAlarmLevels& alarms = state.overlay.alarms;
    for (const auto& [dLevel, pszName] :
         {std::pair{alarms.dWarning, "warning"}, std::pair{alarms.dAlert, "alert"}}) {
        if (dLevel > 0.0) {
            const std::string strTime = DurationText(SecondsAtOrAbove(index, shown, dLevel));
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
    // The silent logger in amber before the fields, whatever the alarm's colour.
    m_pQuiet->setText(QString::fromStdString(m_pBanner->Content().strQuiet));
    m_pQuiet->setVisible(m_eQuiet != EQuiet::None);
}

void CDayExplorer::UpdateChecks() {
    m_host.pWindow->CheckMenuCommand(ID_VIEW_FIT_SCALE, m_bFitScale);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_FOLLOW_NEWEST, m_options.m_bFollowNewest);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_STATUS_BAR, m_options.m_bStatusBar);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_ALARM_SOUND, m_options.m_bAlarmSound);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_POTENTIAL_GRADIENT, m_options.m_bPotentialGradient);
    for (const auto& [nId, nMinutes] :
         {std::pair{ID_VIEW_FOLLOW_SPAN_15, 15}, std::pair{ID_VIEW_FOLLOW_SPAN_30, 30},
          std::pair{ID_VIEW_FOLLOW_SPAN_60, 60}, std::pair{ID_VIEW_FOLLOW_SPAN_180, 180},
          std::pair{ID_VIEW_FOLLOW_SPAN_DAY, 0}}) {
        m_host.pWindow->CheckMenuCommand(nId, m_options.m_nFollowSpanMinutes == nMinutes);
    }
    m_host.pWindow->CheckMenuCommand(ID_VIEW_STATISTICS, m_bStatistics);
    m_host.pWindow->CheckMenuCommand(ID_FILE_PRINT_LANDSCAPE, m_options.m_bPrintLandscape);
}

void CDayExplorer::AskAlarmLevels() {
    const auto values = AskInputForm(
        "Alarm levels",
        "Levels of |E| in kV/m (leave empty for none). The alert rises once |E| has stayed at or "
        "above the alert level for the hold time, and clears once it has stayed below the warning "
        "level for the all-clear time. A step of the flash step between two readings marks a "
        "flash; a flash rate (flashes in 10 min) raises the alert too (empty: not used).",
        {{"Warning level (kV/m)", FormatLevel(m_options.m_dWarningLevel)},
         {"Alert level (kV/m)", FormatLevel(m_options.m_dAlertLevel)},
         {"Hold time (s)", std::to_string(m_options.m_nAlarmHoldSeconds)},
         {"All clear after (min)", std::to_string(m_options.m_nAllClearMinutes)},
         {"No readings after (s)", std::to_string(m_options.m_nStallSeconds)},
         {"Flash step (kV/m)", FormatLevel(m_options.m_dFlashStep)},
         {"Flash rate alert",
          m_options.m_nFlashRate > 0 ? std::to_string(m_options.m_nFlashRate) : std::string()}},
        m_host.pWindow->GetSafeHwnd());
    if (!values) {
        return;
    }
    CViewOptionValues asked = m_options;
    const std::vector<std::string>& v = *values;
    std::string strWhy;
    const bool bRead =
        ReadLevelField("Warning level", v[0], 0.0, &asked.m_dWarningLevel, &strWhy) &&
        ReadLevelField("Alert level", v[1], 0.0, &asked.m_dAlertLevel, &strWhy) &&
        ReadWholeField("Hold time", v[2], 0, MAX_ALARM_HOLD_SECONDS, 0, "seconds",
                       &asked.m_nAlarmHoldSeconds, &strWhy) &&
        ReadWholeField("All clear after", v[3], 0, MAX_ALL_CLEAR_MINUTES, DEFAULT_ALL_CLEAR_MINUTES,
                       "minutes", &asked.m_nAllClearMinutes, &strWhy) &&
        ReadWholeField("No readings after", v[4], MIN_STALL_SECONDS, MAX_STALL_SECONDS,
                       DEFAULT_STALL_SECONDS, "seconds", &asked.m_nStallSeconds, &strWhy) &&
        ReadLevelField("Flash step", v[5], DEFAULT_FLASH_STEP_LEVEL, &asked.m_dFlashStep,
                       &strWhy) &&
        ReadWholeField("Flash rate alert", v[6], 0, MAX_FLASH_RATE, 0, "flashes in 10 min",
                       &asked.m_nFlashRate, &strWhy);
    if (bRead && asked.m_dAlertLevel > 0.0 && asked.m_dAlertLevel < asked.m_dWarningLevel) {
        strWhy = "Alert level: must not be below the warning level (" + Kv(asked.m_dWarningLevel) +
                 " kV/m).";
    }
    if (!strWhy.empty()) {
        AfxMessageBox(strWhy + " Nothing was changed.", MB_OK);
        return;
    }
    static_cast<CViewOptionValues&>(m_options) = asked;
    SaveOptions();
    m_host.pChart->SetAlarmLevels({asked.m_dWarningLevel, asked.m_dAlertLevel});
    // The day's alarm and flashes by the new rule, as if it had been in force all along.
    m_alarm.Configure(AlarmRuleOf(m_options));
    m_nFed = 0;
    FeedAlarm(false);
    m_flashes.clear();
    FindNewFlashes(0);
    ApplyValueScale();
    UpdateTitle();
    UpdateBanner();
    UpdateTick();
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
