// Exploring and following a day in the main window, offscreen: the mouse and keys change the span
// in view, and readings appended to the file join the chart.

#include "chart/StripChart.h"
#include "settings/ViewOptions.h"
#include "tests/ui/test_viewer_support.h"
#include "ui/StatusFields.h"

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
    for (const CStatusFieldSpec& spec :
         {STATUS_READOUT, STATUS_ALERT, STATUS_TROUBLE, STATUS_VIEW, STATUS_EXTREMES, STATUS_LEVELS,
          STATUS_DATE, STATUS_READINGS}) {
        str += pFields->Text(spec) + "   ";
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
