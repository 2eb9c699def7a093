#include "ui/DayExplorer.h"

#include "chart/ChartTimeFormat.h"
#include "chart/StripChart.h"
#include "platform/Dialog.h"
#include "platform/InputForm.h"
#include "platform/MessageBox.h"
#include "res/Resource.h"
#include "ui/AlarmBanner.h"
#include "ui/AlarmSound.h"
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
constexpr int TICK_MS = 1000;
const char* const ALERT_STYLE = "QLabel { color: white; background: #c02020; }";
const char* const QUIET_STYLE = "QLabel { color: black; background: #ffb000; }";
constexpr double FLASH_COUNT_SECONDS = 600.0; // the status line counts the last ten minutes
const char* const ACKNOWLEDGE_HINT = "Click or Ctrl+K to acknowledge";

std::string ClockOf(double dTime) {
    return FormatChartTime(dTime, "%H:%M:%S", false);
}

std::string Value(double d) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%.3f", d);
    return sz;
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
    m_pQuiet = new QLabel(m_pStatusBar);
    m_pQuiet->setTextFormat(Qt::PlainText);
    m_pQuiet->setStyleSheet(QString::fromLatin1(QUIET_STYLE));
    m_pQuiet->hide();
    m_pStatusBar->insertWidget(0, m_pQuiet); // first, where it is seen
    m_pFollow = new QToolButton(m_pStatusBar);
    m_pFollow->setText(QStringLiteral("Follow"));
    m_pFollow->setToolTip(QStringLiteral("Keep the newest reading in view (End)"));
    m_pStatusBar->addPermanentWidget(m_pFollow);
    QObject::connect(m_pFollow, &QToolButton::clicked, this,
                     [this] { OnChartAction(EChartAction::FollowRequested); });
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
    // Into the next day, a followed view keeps its span, zoomed by hand or chosen.
    const CChartView& before = m_host.pChart->State().view;
    const double dKeptSpan =
        m_bOpeningNext && m_bFollowing && before.bTimeSet ? before.time.Span() : 0.0;
    m_bFollowing = true;
    ShowFollowSpan(dKeptSpan);
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

int CDayExplorer::StatusHeight() const {
    return m_options.m_bStatusBar ? m_pStatusBar->sizeHint().height() : 0;
}

int CDayExplorer::BannerHeight() const {
    return m_pBanner->isVisible() ? m_pBanner->BandHeight() : 0;
}

void CDayExplorer::PlaceStatusBar(int nWidth, int nClientHeight) {
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
    std::string str;
    auto add = [&str](const std::string& strPart) {
        if (!strPart.empty()) {
            str += (str.empty() ? "" : "   ") + strPart;
        }
    };
    if (m_alarm.InAlarm()) {
        add("ALERT since " + ClockOf(m_alarm.Began()));
    }
    if (!m_flashes.empty() && !state.points.empty()) {
        // By the readings' clock, as the alarm counts.
        const std::size_t nFlashes =
            FlashesWithin(m_flashes, state.points.back().dTime, FLASH_COUNT_SECONDS);
        add(std::to_string(nFlashes) + (nFlashes == 1 ? " flash" : " flashes") +
            " in the last 10 min");
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
    // The silent logger in amber beside it, whatever the alarm's colour.
    m_pQuiet->setText(QString::fromStdString(m_pBanner->Content().strQuiet));
    m_pQuiet->setVisible(m_eQuiet != EQuiet::None);
    m_pFollow->setEnabled(!m_bFollowing);
}

void CDayExplorer::UpdateChecks() {
    m_host.pWindow->CheckMenuCommand(ID_VIEW_FIT_SCALE, m_bFitScale);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_FOLLOW_NEWEST, m_options.m_bFollowNewest);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_STATUS_BAR, m_options.m_bStatusBar);
    m_host.pWindow->CheckMenuCommand(ID_VIEW_ALARM_SOUND, m_options.m_bAlarmSound);
    for (const auto& [nId, nMinutes] :
         {std::pair{ID_VIEW_FOLLOW_SPAN_15, 15}, std::pair{ID_VIEW_FOLLOW_SPAN_30, 30},
          std::pair{ID_VIEW_FOLLOW_SPAN_60, 60}, std::pair{ID_VIEW_FOLLOW_SPAN_180, 180},
          std::pair{ID_VIEW_FOLLOW_SPAN_DAY, 0}}) {
        m_host.pWindow->CheckMenuCommand(nId, m_options.m_nFollowSpanMinutes == nMinutes);
    }
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
