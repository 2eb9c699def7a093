// The everyday conveniences in the main window, offscreen: the status line's fields, the Follow
// button, the neighbouring days, the Open dialog's folder, the recent files, drops, export, the
// clipboard, the print preview, the keys' help and what assistive technologies read.

#include "chart/StripChart.h"
#include "platform/DialogTemplate.h"
#include "settings/RecentFiles.h"
#include "settings/ViewOptions.h"
#include "tests/ui/test_viewer_support.h"
#include "ui/ChartAccess.h"
#include "ui/KeysDlg.h"
#include "ui/StatusFields.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

#include <filesystem>

using namespace viewer_tests;
using testing_support::PdfPageSize;
using testing_support::ReadFile;
namespace fs = std::filesystem;

namespace {
std::string PageText(const std::string& strPdf) {
    return RunCommand("pdftotext -layout " + Quoted(strPdf) + " -").strOut;
}

bool HavePoppler() {
    return RunCommand("pdftotext -v && pdfinfo -v").nExit == 0;
}

CStatusFields& Fields(CViewerDlg& viewer) {
    return *viewer.GetSafeHwnd()->findChild<CStatusFields*>();
}

QToolButton& FollowButton(CViewerDlg& viewer) {
    return *viewer.GetSafeHwnd()->findChild<QStatusBar*>()->findChild<QToolButton*>();
}

// Points at the middle of the plot, so the read-out shows.
void PointAtMiddle(CStripChart& chart) {
    const CChartRect rc = chart.Geometry().Plot();
    QTest::mouseMove(&chart, QPoint(static_cast<int>((rc.dLeft + rc.dRight) / 2),
                                    static_cast<int>((rc.dTop + rc.dBottom) / 2)));
}

// From the reading at one whole hour to the reading at another (the day has one a minute).
void ShowHours(CStripChart& chart, int nFromHour, int nToHour) {
    const auto& points = chart.State().points;
    CChartView view = chart.State().view;
    view.bTimeSet = true;
    view.time = {points.at(nFromHour * 60).dTime, points.at(nToHour * 60).dTime};
    chart.SetView(view);
}

struct CConveniencesTest : CViewerFixture {
    void SetUp() override {
        CViewerFixture::SetUp();
        for (const char* pszDay : {"20040101.vks", "20040102.vks", "20040103.vks"}) {
            (void)DayFile(pszDay);
        }
        m_strStartFile = m_data.File("20040102.vks");
    }
};
} // namespace

TEST(StatusFields, FieldsThatDoNotFitAreDroppedWholeLastFirst) {
    CStatusFields fields;
    fields.resize(3000, 20);
    fields.show();
    fields.Set(STATUS_LEVELS, "View warning 12 s");
    fields.Set(STATUS_READOUT, "11:40:00  9.500 kV/m", "The reading under the cursor");
    fields.Set(STATUS_EXTREMES, "Day min -2.000 at 18:00:00, max 9.500 at 11:40:00");
    fields.Set(STATUS_VIEW, "View 14:00:00-17:00:00");
    const std::vector<std::string> all = {"readout", "view", "extremes", "levels"};
    ASSERT_EQ(fields.Shown(), all) << "by rank, whatever the order they were set in";
    const auto rightOf = [&fields](const char* pszName) {
        return fields.findChild<QLabel*>(QString::fromLatin1(pszName))->geometry().right() + 1;
    };
    // Three widths: just room for the first two, one pixel short of it, just the read-out.
    const int nTwo = rightOf("view");
    const int nOne = rightOf("readout");
    for (const auto& [nWidth, shown] :
         {std::pair{nTwo, std::vector<std::string>{"readout", "view"}},
          std::pair{nTwo - 1, std::vector<std::string>{"readout"}},
          std::pair{nOne, std::vector<std::string>{"readout"}},
          std::pair{nOne - 1, std::vector<std::string>{}}}) {
        fields.resize(nWidth, 20);
        EXPECT_EQ(fields.Shown(), shown) << nWidth;
        for (QLabel* pLabel : fields.findChildren<QLabel*>()) {
            if (!pLabel->isHidden()) {
                EXPECT_EQ(pLabel->width(), pLabel->sizeHint().width()) << "a field was cut";
                EXPECT_FALSE(pLabel->toolTip().isEmpty());
            }
        }
    }
    fields.Set(STATUS_VIEW, ""); // off the line: the next takes its place
    fields.resize(3000, 20);
    EXPECT_EQ(fields.Shown(), (std::vector<std::string>{"readout", "extremes", "levels"}));
}

TEST_F(CConveniencesTest, TheReadOutStaysWholeAtTheDefaultAndTheSmallestSize) {
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        QWidget* pWindow = viewer.GetSafeHwnd();
        for (const QSize size : {QSize(600, 400), pWindow->minimumSize()}) {
            pWindow->resize(size);
            QCoreApplication::processEvents();
            PointAtMiddle(*viewer.GetChart());
            const std::vector<std::string> shown = Fields(viewer).Shown();
            ASSERT_FALSE(shown.empty()) << size.width();
            EXPECT_EQ(shown.front(), "readout") << size.width();
            const QLabel* pReadout = Fields(viewer).findChild<QLabel*>("readout");
            EXPECT_EQ(pReadout->width(), pReadout->sizeHint().width()) << size.width();
            EXPECT_NE(pReadout->text().indexOf("kV/m"), -1);
        }
        // In a large window the status line's text grows with the chart's; back at 600 x 400 it
        // is the desktop's again.
        QStatusBar* pStatus = pWindow->findChild<QStatusBar*>();
        const double dNormal = QApplication::font(pStatus).pointSizeF();
        pWindow->resize(1700, 1050);
        QCoreApplication::processEvents();
        EXPECT_DOUBLE_EQ(pStatus->font().pointSizeF(), dNormal * 1050 / 800.0);
        EXPECT_EQ(ScreenTextScale(QSize(1599, 1200)), 1.0);
        EXPECT_EQ(ScreenTextScale(QSize(4000, 3000)), 2.0);
        pWindow->resize(600, 400);
        QCoreApplication::processEvents();
        EXPECT_DOUBLE_EQ(pStatus->font().pointSizeF(), dNormal);
        // Whole-day and view figures say which they are.
        EXPECT_EQ(Fields(viewer).Text(STATUS_EXTREMES).rfind("Day min ", 0), 0u);
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

TEST_F(CConveniencesTest, TheFollowButtonShowsWhetherFollowingIsOn) {
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        QToolButton& follow = FollowButton(viewer);
        EXPECT_TRUE(follow.isEnabled());
        EXPECT_TRUE(follow.isChecked());
        EXPECT_EQ(follow.text(), "Following");
        viewer.SendCommand(ID_VIEW_ZOOM_IN); // the middle of the day: the newest is out of view
        EXPECT_FALSE(follow.isChecked());
        EXPECT_EQ(follow.text(), "Follow");
        follow.click();
        EXPECT_TRUE(follow.isChecked());
        EXPECT_EQ(viewer.GetChart()->State().ShownTime().dUpper,
                  viewer.GetChart()->State().points.back().dTime);
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

TEST_F(CConveniencesTest, PageUpAndDownStepThroughTheDaysKeepingTheHours) {
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        EXPECT_EQ(viewer.FindMenuCommand(ID_GO_PREVIOUS_DAY)->shortcut(),
                  QKeySequence(Qt::Key_PageUp));
        EXPECT_EQ(viewer.FindMenuCommand(ID_GO_NEXT_DAY)->shortcut(),
                  QKeySequence(Qt::Key_PageDown));
        CStripChart& chart = *viewer.GetChart();
        ShowHours(chart, 14, 17);
        const CChartRange hours = chart.State().ShownTime();
        const auto expectDay = [&](const char* pszName) {
            EXPECT_EQ(viewer.m_strDataPath, m_data.File(pszName));
            EXPECT_EQ(viewer.GetWindowText(), m_data.File(pszName));
            EXPECT_EQ(chart.State().ShownTime().dLower, hours.dLower) << pszName;
            EXPECT_EQ(chart.State().ShownTime().dUpper, hours.dUpper) << pszName;
            EXPECT_FALSE(FollowButton(viewer).isChecked()) << pszName;
        };
        viewer.SendCommand(ID_GO_PREVIOUS_DAY);
        expectDay("20040101.vks");
        viewer.SendCommand(ID_GO_PREVIOUS_DAY); // none before it: the day stays
        expectDay("20040101.vks");
        EXPECT_EQ(Fields(viewer).Text(STATUS_TROUBLE), "no earlier day in this folder");
        viewer.SendCommand(ID_GO_NEXT_DAY);
        viewer.SendCommand(ID_GO_NEXT_DAY);
        expectDay("20040103.vks");
        EXPECT_EQ(Fields(viewer).Text(STATUS_TROUBLE), "");

        // The whole day: following on the latest day, never on a past one.
        viewer.SendCommand(ID_VIEW_WHOLE_DAY);
        viewer.SendCommand(ID_GO_PREVIOUS_DAY);
        EXPECT_FALSE(chart.State().view.bTimeSet);
        EXPECT_FALSE(FollowButton(viewer).isChecked());
        viewer.SendCommand(ID_GO_NEXT_DAY);
        EXPECT_TRUE(FollowButton(viewer).isChecked());
        viewer.SendCommand(ID_FILE_EXIT);
    });
}

TEST_F(CConveniencesTest, OpenStartsBesideTheDayAndRecentFilesAndDropsOpenDays) {
    const std::string strFirst = m_data.File("20040101.vks");
    const std::string strThird = m_data.File("20040103.vks");
    m_script.m_fileAnswers.push_back({IDOK, strFirst, false});
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        viewer.SendCommand(ID_FILE_OPEN);
        ASSERT_EQ(m_script.OfKind(EModalKind::FileDialog).size(), 1u);
        EXPECT_EQ(m_script.OfKind(EModalKind::FileDialog)[0].strInitialDir, m_data.Path());
        EXPECT_EQ(viewer.m_strDataPath, strFirst);

        // A drop of a .vks opens it; anything else is refused at the door.
        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(QString::fromStdString(m_data.File("notes.txt")))});
        QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton,
                                Qt::NoModifier);
        QCoreApplication::sendEvent(viewer.GetSafeHwnd(), &refused);
        EXPECT_FALSE(refused.isAccepted());
        QMimeData day;
        day.setUrls({QUrl::fromLocalFile(QString::fromStdString(strThird))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &day, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewer.GetSafeHwnd(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &day, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewer.GetSafeHwnd(), &drop);
        EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.m_strDataPath == strThird; }, 2000));

        // Newest first on the menu: the drop, the Open, the start-up file.
        const auto item = [&](int i) {
            const QAction* pAction = viewer.FindMenuCommand(ID_FILE_RECENT_FIRST + i);
            return pAction != nullptr ? pAction->toolTip().toStdString() : std::string();
        };
        EXPECT_EQ(item(0), strThird);
        EXPECT_EQ(item(1), strFirst);
        EXPECT_EQ(item(2), m_strStartFile);

        // A recent file that has gone is taken off, with a message, and the day stays.
        fs::remove(strFirst);
        viewer.SendCommand(ID_FILE_RECENT_FIRST + 1);
        EXPECT_EQ(viewer.m_strDataPath, strThird);
        ASSERT_EQ(m_script.Messages().size(), 1u);
        EXPECT_EQ(m_script.Messages()[0],
                  "File not found: " + strFirst + "\nIt was taken off the recent files.");
        EXPECT_EQ(item(1), m_strStartFile);
        viewer.SendCommand(ID_FILE_RECENT_FIRST + 1); // a recent file opens and goes first
        EXPECT_EQ(viewer.m_strDataPath, m_strStartFile);
        EXPECT_EQ(item(0), m_strStartFile);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    ForgetRegistryHives();
    CRecentFiles kept;
    kept.Load();
    EXPECT_EQ(kept.Paths(), (std::vector<std::string>{m_strStartFile, strThird}));
}

TEST_F(CConveniencesTest, ClipboardExportAndPreviewShowTheView) {
    if (!HavePoppler()) {
        GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) are not installed";
    }
    const std::string strCsv = m_data.File("view.csv");
    const std::string strPdf = m_data.File("view.pdf");
    const std::string strPreview = m_data.File("preview.pdf");
    m_script.m_fileAnswers.push_back({IDOK, strCsv, false});
    m_script.m_fileAnswers.push_back({IDOK, strPdf, false});
    m_script.m_previewAnswers.push_back({IDCANCEL, strPreview, false});
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        CStripChart& chart = *viewer.GetChart();
        ShowHours(chart, 14, 17);

        viewer.SendCommand(ID_EDIT_COPY_CHART);
        const QImage copied = QApplication::clipboard()->image();
        EXPECT_EQ(copied.size(), chart.size());

        // The read-out, as the keys move it: on the clipboard and as the chart's value.
        chart.setFocus();
        QTest::keyClick(&chart, Qt::Key_Right, Qt::ControlModifier);
        const std::string strReadout = Fields(viewer).Text(STATUS_READOUT);
        ASSERT_EQ(strReadout.rfind("14:01:00  ", 0), 0u) << strReadout; // the next reading
        viewer.SendCommand(ID_EDIT_COPY_READOUT);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "2004-01-02 " + strReadout);
        QAccessibleInterface* pAccessible = QAccessible::queryAccessibleInterface(&chart);
        ASSERT_NE(pAccessible, nullptr);
        EXPECT_EQ(pAccessible->role(), QAccessible::Chart);
        EXPECT_EQ(pAccessible->text(QAccessible::Value).toStdString(), strReadout);
        EXPECT_NE(pAccessible->text(QAccessible::Description).indexOf("2004-01-02"), -1);
        EXPECT_NE(pAccessible->text(QAccessible::Description).indexOf("14:00:00 to 17:00:00"), -1);

        viewer.SendCommand(ID_FILE_EXPORT); // the readings in view, as a table
        viewer.SendCommand(ID_FILE_EXPORT); // the printed page
        viewer.SendCommand(ID_FILE_PRINT_LANDSCAPE);
        viewer.SendCommand(ID_FILE_PRINT_PREVIEW);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    const auto exports = m_script.OfKind(EModalKind::FileDialog);
    ASSERT_EQ(exports.size(), 2u);
    EXPECT_EQ(exports[0].strInitialDir, m_data.Path());
    EXPECT_EQ(exports[0].strFileName, "20040102.png");
    // One reading a minute from 14:00 to 17:00, both ends included.
    const std::string strTable = ReadFile(strCsv);
    EXPECT_EQ(strTable.rfind("time,value\n2004-01-02 14:00:00,", 0), 0u) << strTable;
    EXPECT_EQ(std::count(strTable.begin(), strTable.end(), '\n'), 1 + 181);
    EXPECT_NE(PageText(strPdf).find("2004-01-02, 14:00:00 to 17:00:00"), std::string::npos)
        << PageText(strPdf);
    EXPECT_NE(PageText(strPreview).find("2004-01-02, 14:00:00 to 17:00:00"), std::string::npos);
    const std::string strInfo = RunCommand("pdfinfo " + Quoted(strPreview)).strOut;
    double dWidth = 0.0;
    double dHeight = 0.0;
    ASSERT_TRUE(PdfPageSize(strInfo, &dWidth, &dHeight)) << strInfo;
    EXPECT_GT(dWidth, dHeight) << "the preview's page lies across";
    CViewOptions kept;
    kept.Load();
    EXPECT_TRUE(kept.m_bPrintLandscape);
}

TEST_F(CConveniencesTest, TheKeysWindowListsEveryKeyOfTheMenus) {
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        viewer.SendCommand(ID_HELP_KEYS);
        ASSERT_EQ(m_script.OfKind(EModalKind::Dialog).size(), 2u); // the window, then the keys
        EXPECT_EQ(m_script.OfKind(EModalKind::Dialog)[1].nTemplateId, IDD_KEYS);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    std::string strListed;
    for (const CKeyAction& action : KeyActions()) {
        strListed += std::string(action.pszKeys) + " / ";
    }
    for (const CAccelTemplate& accel : FindAcceleratorTable(IDR_MAINFRAME)->entries) {
        std::string strKey = (accel.fVirt & FCONTROL) != 0 ? "Ctrl+" : "";
        strKey += (accel.fVirt & FSHIFT) != 0 ? "Shift+" : "";
        if (accel.key == VK_PRIOR || accel.key == VK_NEXT) {
            strKey += accel.key == VK_PRIOR ? "PgUp" : "PgDn";
        } else if (accel.key >= VK_F1 && accel.key <= VK_F24) {
            strKey += "F" + std::to_string(accel.key - VK_F1 + 1);
        } else {
            strKey += static_cast<char>(accel.key);
        }
        EXPECT_NE(strListed.find(strKey + " "), std::string::npos) << strKey << " is not listed";
    }
}

// The potential gradient is a way of reading the day: the axis, the read-out, the status line and
// a table export read PG = -E in V/m, the day file stays as logged, and the choice is kept.
TEST_F(CConveniencesTest, PotentialGradientReadsTheDayTheOtherWayRound) {
    const std::string strCsv = m_data.File("gradient.csv");
    const std::string strBefore = ReadFile(m_strStartFile);
    m_script.m_fileAnswers.push_back({IDOK, strCsv, false});
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        CStripChart& chart = *viewer.GetChart();
        viewer.GetSafeHwnd()->resize(1600, 700); // room for every status field
        QApplication::processEvents();
        viewer.SendCommand(ID_VIEW_POTENTIAL_GRADIENT);
        EXPECT_EQ(chart.State().labels[0].strText, "PG  V / m");
        EXPECT_EQ(Fields(viewer).Text(STATUS_EXTREMES),
                  "Day min -9500 at 11:40:00, max 2000 at 17:55:00");
        ShowHours(chart, 14, 17);
        chart.setFocus();
        QTest::keyClick(&chart, Qt::Key_Right, Qt::ControlModifier);
        const std::string strReadout = Fields(viewer).Text(STATUS_READOUT);
        EXPECT_EQ(strReadout.rfind("14:01:00  ", 0), 0u) << strReadout;
        EXPECT_EQ(strReadout.substr(strReadout.size() - 4), " V/m") << strReadout;
        viewer.SendCommand(ID_FILE_EXPORT);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    const std::string strTable = ReadFile(strCsv);
    // At 14:00 the wave reads -1 kV/m: +1000 V/m.
    EXPECT_EQ(strTable.rfind("time,PG (V/m)\n2004-01-02 14:00:00,1000\n", 0), 0u) << strTable;
    EXPECT_EQ(ReadFile(m_strStartFile), strBefore);
    CViewOptions kept;
    kept.Load();
    EXPECT_TRUE(kept.m_bPotentialGradient);
}
