// Exploring and following a day in the main window, offscreen: the mouse and keys change the span
// in view, and readings appended to the file join the chart; the operator's desk: the alert's
// banner, sound and all-clear, a silent logger, the follow span at midnight, the alarm form.

#include "chart/StripChart.h"
#include "settings/ViewOptions.h"
#include "tests/ui/test_viewer_support.h"
#include "ui/AlarmBanner.h"
#include "ui/AlarmSound.h"
#include "ui/DayWatch.h"
#include "ui/StatusFields.h"

#include <QLabel>
#include <QTest>
#include <QWheelEvent>

#include <cstdio>

using namespace viewer_tests;

namespace {
struct CDayExplorerTest : CViewerFixture {
    void SetUp() override {
        CViewerFixture::SetUp();
        m_strStartFile = DayFile("20040101.vks");
    }
};

double Span(const CStripChart& chart) {
    return chart.State().ShownTime().Span();
}

// Every field of the status line, shown or dropped for want of room.
std::string StatusText(CViewerDlg& viewer) {
    const auto* pFields = viewer.GetSafeHwnd()->findChild<CStatusFields*>();
    std::string str;
    for (const CStatusFieldKind& kind :
         {STATUS_READOUT, STATUS_ALERT, STATUS_TROUBLE, STATUS_FLASHES, STATUS_VIEW,
          STATUS_EXTREMES, STATUS_LEVELS, STATUS_DATE, STATUS_READINGS}) {
        str += pFields->Text(kind) + "   ";
    }
    return str;
}
} // namespace

TEST_F(CDayExplorerTest, WheelDragKeysAndDoubleClickSetTheSpan) {
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        CStripChart* pChart = viewer.GetChart();
        const CChartRect rcPlot = pChart->Geometry().Plot();
        const QPoint ptMiddle(static_cast<int>((rcPlot.dLeft + rcPlot.dRight) / 2),
                              static_cast<int>((rcPlot.dTop + rcPlot.dBottom) / 2));
        EXPECT_DOUBLE_EQ(Span(*pChart), 1.0);

        // Two notches in around the middle: 0.64 of the day, the middle staying put.
        QWheelEvent wheel(ptMiddle, pChart->mapToGlobal(ptMiddle), QPoint(), QPoint(0, 240),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(pChart, &wheel);
        EXPECT_NEAR(Span(*pChart), 0.64, 1e-9);
        const double dMiddle = pChart->Geometry().TimeMap().Invert(ptMiddle.x());
        EXPECT_NEAR(dMiddle, 1460.5, 2.0 / 1440); // within the pixel's width

        // A drag to the right shows earlier times.
        const double dBefore = pChart->State().ShownTime().dLower;
        QTest::mousePress(pChart, Qt::LeftButton, Qt::NoModifier, ptMiddle);
        QTest::mouseMove(pChart, ptMiddle + QPoint(100, 0));
        QTest::mouseRelease(pChart, Qt::LeftButton, Qt::NoModifier, ptMiddle + QPoint(100, 0));
        EXPECT_LT(pChart->State().ShownTime().dLower, dBefore);

        // Keys: + halves the span, Home shows the whole day, - never goes past it.
        pChart->setFocus();
        QTest::keyClick(pChart, Qt::Key_Plus);
        EXPECT_NEAR(Span(*pChart), 0.32, 1e-9);
        QTest::keyClick(pChart, Qt::Key_Home);
        EXPECT_DOUBLE_EQ(Span(*pChart), 1.0);
        QTest::keyClick(pChart, Qt::Key_Minus);
        EXPECT_DOUBLE_EQ(Span(*pChart), 1.0);

        // Shift+drag zooms to the span dragged; a double-click returns to the whole day.
        const QPoint ptFrom(static_cast<int>(rcPlot.dLeft) + 10, ptMiddle.y());
        QTest::mouseMove(pChart, ptFrom);
        QTest::mousePress(pChart, Qt::LeftButton, Qt::ShiftModifier, ptFrom);
        QTest::mouseMove(pChart, ptFrom + QPoint(60, 0));
        QTest::mouseRelease(pChart, Qt::LeftButton, Qt::ShiftModifier, ptFrom + QPoint(60, 0));
        EXPECT_NEAR(Span(*pChart), 60.0 / rcPlot.Width(), 2.0 / rcPlot.Width());
        // The cursor reads where the pointer now is, not the time it was pressed at.
        EXPECT_DOUBLE_EQ(pChart->State().overlay.dCursorTime,
                         pChart->Geometry().TimeMap().Invert(ptFrom.x() + 60));
        QTest::mouseDClick(pChart, Qt::LeftButton, Qt::NoModifier, ptMiddle);
        EXPECT_DOUBLE_EQ(Span(*pChart), 1.0);

        // The status line knows the day's date from the file's name and reads the cursor.
        QTest::mouseMove(pChart, ptMiddle);
        const std::string strStatus = StatusText(viewer);
        EXPECT_NE(strStatus.find("2004-01-01"), std::string::npos) << strStatus;
        EXPECT_NE(strStatus.find("1440 readings"), std::string::npos) << strStatus;
        EXPECT_NE(strStatus.find("kV/m"), std::string::npos) << strStatus;
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

TEST_F(CDayExplorerTest, AppendedReadingsJoinTheChart) {
    const std::string strPath = m_data.File("live.vks");
    testing_support::WriteFile(strPath, "00:00:00,0.5\n00:00:01,0.6\n");
    m_strStartFile = strPath;
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        CStripChart* pChart = viewer.GetChart();
        ASSERT_EQ(pChart->State().points.size(), 2u);
        if (std::FILE* pFile = std::fopen(strPath.c_str(), "ab")) {
            std::fputs("00:00:02,14.5\n00:00:03,0.7\n00:00", pFile);
            std::fclose(pFile);
        }
        // The watch notices within its poll at the latest; the unfinished line waits.
        EXPECT_TRUE(QTest::qWaitFor([&] { return pChart->State().points.size() == 4u; }, 3000));
        EXPECT_EQ(pChart->State().points[2].dValue, 14.5);
        EXPECT_EQ(pChart->State().value.dUpper, 15.0) << "the value range grew";
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

TEST_F(CDayExplorerTest, AlarmLevelsAndAFixedScaleAreAskedForAndKept) {
    m_script.m_inputAnswers.push_back({IDOK, "1.5\n2.5\n1800", false});
    m_script.m_inputAnswers.push_back({IDOK, "-3\n2\n10", false}); // refused: nothing changes
    m_script.m_inputAnswers.push_back({IDOK, "12", false});
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        const CChartState& state = viewer.GetChart()->State();
        viewer.SendCommand(ID_VIEW_ALARM_LEVELS);
        EXPECT_EQ(state.overlay.alarms.dWarning, 1.5);
        EXPECT_EQ(state.overlay.alarms.dAlert, 2.5);
        viewer.SendCommand(ID_VIEW_ALARM_LEVELS);
        EXPECT_EQ(state.overlay.alarms.dWarning, 1.5);
        EXPECT_EQ(m_script.Messages().size(), 1u) << "the refusal says why";
        viewer.SendCommand(ID_VIEW_FIXED_SCALE);
        EXPECT_TRUE(state.view.bValueSet);
        EXPECT_EQ(state.ShownValue().dUpper, 12.0);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    CViewOptions kept;
    kept.Load();
    EXPECT_EQ(kept.m_dAlertLevel, 2.5);
    EXPECT_EQ(kept.m_nAlarmHoldSeconds, 1800); // above 1000: the form allows up to 3600
    EXPECT_EQ(kept.m_dFixedScale, 12.0);
}

// With "follow the newest file" on, a later file that cannot be opened is offered once, and said
// once, until it changes (a box a second would stack up while nobody looks).
TEST_F(CDayExplorerTest, ANewerFileThatCannotBeOpenedIsTriedOnceUntilItChanges) {
    std::vector<FieldSample> samples(64);
    CDayDocument day(samples);
    ASSERT_TRUE(day.Open(DayFile("20040101.vks")).bOpened);
    int nTried = 0;
    std::vector<std::string> reports;
    CDayWatch watch(
        day,
        [&](const std::string&) {
            ++nTried;
            return COutcome::Fail("cannot open it");
        },
        [&](const std::string& strWhy) { reports.push_back(strWhy); });
    watch.SetFollowNewest(true);
    watch.Start();
    const std::string strNext = m_data.File("20040102.vks");
    testing_support::WriteFile(strNext, "00:00:01,1\n");
    for (int i = 0; i < 3; ++i) {
        watch.Poll();
    }
    EXPECT_EQ(nTried, 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "cannot open it");
    testing_support::AppendFile(strNext, "00:00:02,1\n");
    watch.Poll();
    EXPECT_EQ(nTried, 2) << "a file that changed is tried again";
}

// ---- The operator's desk ----

namespace {
// The alarm options a test runs with, saved as the user would have left them.
void SaveAlarmOptions(int nAllClearMinutes, int nStallSeconds, int nSpanMinutes = 0,
                      bool bFollowNewest = false) {
    CViewOptions options;
    options.Load();
    options.m_dWarningLevel = 2.0;
    options.m_dAlertLevel = 5.0;
    options.m_nAllClearMinutes = nAllClearMinutes;
    options.m_nStallSeconds = nStallSeconds;
    options.m_nFollowSpanMinutes = nSpanMinutes;
    options.m_bFollowNewest = bFollowNewest;
    ASSERT_TRUE(options.Save().Ok());
}

const CAlarmBanner* Banner(CViewerDlg& viewer) {
    return static_cast<const CAlarmBanner*>(
        viewer.GetSafeHwnd()->findChild<QWidget*>(QStringLiteral("alarmBanner")));
}

// One reading a second from nFrom (seconds after 12:00:00), each line whole.
std::string Lines(int nFrom, std::initializer_list<double> values) {
    std::string str;
    int nSecond = 12 * 3600 + nFrom;
    for (const double d : values) {
        char sz[64];
        std::snprintf(sz, sizeof sz, "%02d:%02d:%02d,%.3f\n", nSecond / 3600, (nSecond / 60) % 60,
                      nSecond % 60, d);
        str += sz;
        ++nSecond;
    }
    return str;
}

void Append(const std::string& strPath, const std::string& strLines) {
    if (std::FILE* pFile = std::fopen(strPath.c_str(), "ab")) {
        std::fputs(strLines.c_str(), pFile);
        std::fclose(pFile);
    }
}

// Counts the tones asked for while it lives.
struct CSoundCounter {
    int n = 0;
    CSoundCounter() {
        CAlarmSound::SetPlayHook([this] { ++n; });
    }
    ~CSoundCounter() { CAlarmSound::SetPlayHook({}); }
};
} // namespace

TEST_F(CDayExplorerTest, TheAlertSoundsCountsDownClearsAndWaitsToBeAcknowledged) {
    SaveAlarmOptions(1, 60);
    m_strStartFile = m_data.File("live.vks");
    testing_support::WriteFile(m_strStartFile, Lines(0, {0.5, 0.6}));
    const CSoundCounter sound;
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        const CAlarmBanner* pBanner = Banner(viewer);
        ASSERT_NE(pBanner, nullptr);
        EXPECT_FALSE(pBanner->isVisible());
        EXPECT_EQ(viewer.GetChart()->State().ShownValue().dUpper, 6.0) << "the levels in view";

        Append(m_strStartFile, Lines(2, {5.5, 1.0}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pBanner->isVisible(); }, 3000));
        EXPECT_EQ(pBanner->Content().strMain, "ALERT |E| \u2265 5 kV/m since 12:00:02");
        EXPECT_EQ(pBanner->Content().strCountdown, "All clear in 00:59");
        EXPECT_EQ(sound.n, 1);
        EXPECT_GT(viewer.GetChart()->Geometry().Chart().dTop, -1.0);
        EXPECT_EQ(viewer.GetChart()->y(), pBanner->height()) << "the chart starts below it";

        // A reading at the warning level restarts the countdown; a minute below it clears.
        Append(m_strStartFile, Lines(4, {-2.0, 0.1}));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return pBanner->Content().strCountdown == "All clear in 00:59"; }, 3000));
        Append(m_strStartFile, Lines(64, {0.2}));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return pBanner->Content().strMain.rfind("Last alert", 0) == 0; }, 3000));
        EXPECT_EQ(pBanner->Content().strMain, "Last alert 12:00:02\u201312:01:04");
        EXPECT_NE(pBanner->Content().strHint.find("Ctrl+K"), std::string::npos);
        viewer.SendCommand(ID_VIEW_ACKNOWLEDGE);
        EXPECT_FALSE(pBanner->isVisible());
        EXPECT_EQ(viewer.GetChart()->y(), 0);

        // With the sound off the next alert is silent.
        viewer.SendCommand(ID_VIEW_ALARM_SOUND);
        Append(m_strStartFile, Lines(70, {9.0}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pBanner->isVisible(); }, 3000));
        EXPECT_EQ(sound.n, 1);
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

TEST_F(CDayExplorerTest, ALoggerThatStopsIsNoAllClear) {
    SaveAlarmOptions(0, 5); // the all-clear at the first calm reading; silent after 5 s
    m_strStartFile = m_data.File("live.vks");
    testing_support::WriteFile(m_strStartFile, Lines(0, {0.5}));
    const CSoundCounter sound;
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        const CAlarmBanner* pBanner = Banner(viewer);
        Append(m_strStartFile, Lines(1, {6.0}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pBanner->isVisible(); }, 3000));
        // The logger falls silent: the alert stays, and both the banner and the status line say
        // since when nothing came.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !pBanner->Content().strQuiet.empty(); }, 8000));
        EXPECT_EQ(pBanner->Content().strQuiet, "No readings since 12:00:01");
        EXPECT_EQ(pBanner->Content().eTone, EBannerTone::Alert);
        EXPECT_NE(pBanner->Content().strCountdown.find("(stopped)"), std::string::npos);
        bool bSaid = false;
        for (const QLabel* pLabel : viewer.GetSafeHwnd()->findChildren<QLabel*>()) {
            bSaid =
                bSaid || (pLabel->isVisible() && pLabel->text() == "No readings since 12:00:01");
        }
        EXPECT_TRUE(bSaid) << "on the status line too";
        // Readings again: the quiet notice goes, a calm one clears.
        Append(m_strStartFile, Lines(10, {0.1}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pBanner->Content().strQuiet.empty(); }, 3000));
        EXPECT_EQ(pBanner->Content().strMain, "Last alert 12:00:01\u201312:00:10");
        // A file that goes says so the same way.
        std::remove(m_strStartFile.c_str());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !pBanner->Content().strQuiet.empty(); }, 3000));
        EXPECT_EQ(pBanner->Content().strQuiet, "File gone: no readings since 12:00:10");
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

TEST_F(CDayExplorerTest, TheFollowSpanSurvivesMidnight) {
    SaveAlarmOptions(15, 60, 30, true);
    m_strStartFile = m_data.File("20040101.vks");
    testing_support::WriteFile(m_strStartFile, "23:59:58,0.5\n23:59:59,0.6\n");
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        const CChartState& state = viewer.GetChart()->State();
        EXPECT_NEAR(state.ShownTime().Span() * 1440, 30.0, 1e-6);
        EXPECT_NEAR(state.ShownTime().dUpper, state.points.back().dTime, 1e-9);
        // An undated file and the next day's file appear: only the latter is followed.
        testing_support::WriteFile(m_data.File("storm-example.vks"), "12:00:00,9\n");
        testing_support::WriteFile(m_data.File("20040102.vks"), "00:00:00,0.1\n00:00:01,0.2\n");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return viewer.m_strDataPath == m_data.File("20040102.vks"); }, 4000));
        EXPECT_TRUE(state.view.bTimeSet) << "not the whole new day";
        EXPECT_NEAR((state.ShownTime().dLower - std::floor(state.ShownTime().dLower)) * 1440, 0.0,
                    1e-6);
        EXPECT_NEAR(state.ShownTime().Span() * 1440, 30.0, 1e-6);
        viewer.SendCommand(ID_VIEW_FOLLOW_SPAN_60);
        EXPECT_NEAR(state.ShownTime().Span() * 1440, 60.0, 1e-6);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    CViewOptions kept;
    kept.Load();
    EXPECT_EQ(kept.m_nFollowSpanMinutes, 60);
}

TEST_F(CDayExplorerTest, TheAlarmFormRefusesLevelsThatMakeNoSense) {
    struct CCase {
        const char* pszAnswer;
        const char* pszField; // named in the refusal
    } const cases[] = {
        {"5\n2", "Alert level"},
        {"0\n5", "Warning level"},
        {"2\n-5", "Alert level"},
        {"nan\n5", "Warning level"},
        {"2\ninf", "Alert level"},
        {"2\n5\n-1", "Hold time"},
        {"2\n5\n0\n121", "All clear"},
        {"2\n5\n0\n15\n1", "No readings"},
        {"2\n5\n0\n15\n60\n0", "Flash step"},
    };
    for (const CCase& c : cases) {
        m_script.m_inputAnswers.push_back({IDOK, c.pszAnswer, false});
    }
    m_script.m_inputAnswers.push_back({IDOK, "2\n5\n0\n30\n20\n1.5\n4", false});
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        for (const CCase& c : cases) {
            SCOPED_TRACE(c.pszAnswer);
            viewer.SendCommand(ID_VIEW_ALARM_LEVELS);
            ASSERT_FALSE(m_script.Messages().empty());
            EXPECT_EQ(m_script.Messages().back().rfind(c.pszField, 0), 0u)
                << m_script.Messages().back();
            EXPECT_FALSE(viewer.GetChart()->State().overlay.alarms.Any()) << "nothing changed";
        }
        viewer.SendCommand(ID_VIEW_ALARM_LEVELS);
        EXPECT_EQ(m_script.Messages().size(), std::size(cases));
        EXPECT_EQ(viewer.GetChart()->State().overlay.alarms.dAlert, 5.0);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    CViewOptions kept;
    kept.Load();
    EXPECT_EQ(kept.m_nAllClearMinutes, 30);
    EXPECT_EQ(kept.m_nStallSeconds, 20);
    EXPECT_EQ(kept.m_dFlashStep, 1.5);
    EXPECT_EQ(kept.m_nFlashRate, 4);
}
