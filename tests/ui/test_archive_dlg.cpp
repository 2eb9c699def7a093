// The archive overview on the offscreen platform: opened from the main window on the folder of
// the day in view, a day opened from it by double-click and by the keyboard; a cancelled scan that
// leaves no cache, a complete one that the next overview reads back whole, a day that grows read
// again, and the table sorted by the day's largest |E|.

#include "doc/ArchiveScan.h"
#include "doc/SummaryCache.h"
#include "doc/SummaryTable.h"
#include "tests/doc/ArchiveTestDays.h"
#include "tests/ui/test_viewer_support.h"
#include "ui/ArchiveCalendar.h"
#include "ui/ArchiveDlg.h"
#include "ui/ArchiveModel.h"

#include <QSortFilterProxyModel>
#include <QTableView>

#include <algorithm>
#include <filesystem>

using namespace viewer_tests;
using namespace archive_tests;

namespace {
CArchiveDlg* FindOverview() {
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        if (auto* pArchive = dynamic_cast<CArchiveDlg*>(pWidget)) {
            return pArchive;
        }
    }
    return nullptr;
}

int CountIn(const CArchiveModel& model, CArchiveDay::EState eState) {
    const auto& days = model.Days();
    return static_cast<int>(std::count_if(
        days.begin(), days.end(), [eState](const auto& day) { return day.eState == eState; }));
}

bool ScanEnds(const CArchiveDlg& dlg) {
    return QTest::qWaitFor([&dlg] { return !dlg.Scanning(); }, 30000);
}

struct CArchiveDlgTest : CViewerFixture {
    CTempDir m_cache;
};
} // namespace

TEST_F(CArchiveDlgTest, ADayOpensInTheMainWindowOnDoubleClickAndOnEnter) {
    for (const char* pszDay : {"20240601", "20240602", "20240603"}) {
        WriteDayFile(m_data.File(std::string(pszDay) + ".vks"));
    }
    m_strStartFile = m_data.File("20240603.vks");
    CViewerContext context = Context();
    context.strCacheFolder = m_cache.Path();
    CViewerDlg dlg(context);
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        viewer.SendCommand(ID_VIEW_ARCHIVE);
        CArchiveDlg* pArchive = FindOverview();
        ASSERT_NE(pArchive, nullptr);
        EXPECT_TRUE(pArchive->isVisible());
        EXPECT_EQ(CanonicalFolder(pArchive->Folder()), CanonicalFolder(m_data.Path()));
        ASSERT_TRUE(ScanEnds(*pArchive));
        ASSERT_EQ(CountIn(pArchive->Model(), CArchiveDay::EState::Read), 3);

        CArchiveCalendar* pCalendar = pArchive->Calendar();
        const QRect rc =
            pCalendar->CellOfRow(pArchive->Model().RowOfPath(m_data.File("20240601.vks")));
        ASSERT_FALSE(rc.isEmpty());
        QTest::mouseDClick(pCalendar, Qt::LeftButton, {}, rc.center());
        EXPECT_EQ(viewer.GetWindowText(), m_data.File("20240601.vks"));
        EXPECT_EQ(viewer.GetChart()->State().points.size(), 24U * 60);

        // The next day by the keyboard; the table follows the calendar.
        QTest::keyClick(pCalendar, Qt::Key_Right);
        QTest::keyClick(pCalendar, Qt::Key_Return);
        EXPECT_EQ(viewer.GetWindowText(), m_data.File("20240602.vks"));
        const QModelIndex current = pArchive->Table()->currentIndex();
        EXPECT_EQ(current.siblingAtColumn(CArchiveModel::COL_FILE).data().toString(),
                  QStringLiteral("20240602.vks"));
        EXPECT_TRUE(m_script.Messages().empty());

        // The same overview comes back for the same folder.
        pArchive->close();
        viewer.SendCommand(ID_VIEW_ARCHIVE);
        EXPECT_EQ(FindOverview(), pArchive);
        EXPECT_TRUE(pArchive->isVisible());
        viewer.SendCommand(ID_FILE_EXIT);
    });
    EXPECT_EQ(FindOverview(), nullptr) << "the overview goes with the main window";
}

TEST_F(CArchiveDlgTest, ACancelledScanLeavesNoCacheAndAWholeOneIsReadBack) {
    for (int i = 0; i < 40; ++i) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "2024%02d%02d.vks", 1 + i / 28, 1 + i % 28);
        WriteDay(m_data.File(szName),
                 MakeDay(static_cast<unsigned>(i), 4, false, 1.0 + (i * 7) % 40));
    }
    CArchiveContext context{m_data.Path(), m_cache.Path(), {2.0, 5.0, 10}, 1, 0, {}};
    const std::string strCacheFile = CSummaryCache::FileFor(m_cache.Path(), m_data.Path());
    {
        CArchiveDlg dlg(context);
        dlg.CancelScan();
        ASSERT_TRUE(ScanEnds(dlg));
        EXPECT_GT(CountIn(dlg.Model(), CArchiveDay::EState::Waiting), 0);
        EXPECT_FALSE(std::filesystem::exists(strCacheFile));
    }
    EXPECT_FALSE(std::filesystem::exists(strCacheFile)) << "not when the window goes either";
    {
        CArchiveDlg dlg(context);
        EXPECT_TRUE(dlg.Scanning());
        ASSERT_TRUE(ScanEnds(dlg));
        EXPECT_EQ(CountIn(dlg.Model(), CArchiveDay::EState::Read), 40);
        EXPECT_TRUE(std::filesystem::exists(strCacheFile));
    }
    CArchiveDlg dlg(context);
    EXPECT_FALSE(dlg.Scanning()) << "nothing changed: every day from the cache";
    EXPECT_EQ(CountIn(dlg.Model(), CArchiveDay::EState::Read), 40);

    // Sorted by the largest |E|, the worst day comes first; the export keeps the table's order.
    dlg.Table()->sortByColumn(CArchiveModel::COL_PEAK, Qt::DescendingOrder);
    const auto* pProxy = static_cast<const QSortFilterProxyModel*>(dlg.Table()->model());
    double dWorst = 0.0;
    for (const CArchiveDay& day : dlg.Model().Days()) {
        dWorst = std::max(dWorst, std::fabs(day.summary.dPeak));
    }
    const int nFirst = pProxy->mapToSource(pProxy->index(0, 0)).row();
    EXPECT_EQ(std::fabs(dlg.Model().Day(nFirst).summary.dPeak), dWorst);
    const std::string strCsv = dlg.TableCsv(false);
    EXPECT_EQ(strCsv.substr(0, strCsv.find('\n')), DayCsvHeader());
    EXPECT_EQ(std::count(strCsv.begin(), strCsv.end(), '\n'), 41);
    EXPECT_EQ(strCsv.substr(DayCsvHeader().size() + 1, 10),
              dlg.Model().Day(nFirst).file.date->Text());
    dlg.SetUnit({true}); // the gradient: the same rows, its own columns
    const std::string strGradient = dlg.TableCsv(false);
    EXPECT_EQ(strGradient.substr(0, strGradient.find('\n')), DayCsvHeader({true}));
    EXPECT_EQ(dlg.Model().headerData(CArchiveModel::COL_MIN, Qt::Horizontal, Qt::DisplayRole),
              QStringLiteral("Min (V/m)"));

    // A day that grows is read again.
    const std::string strGrowing = m_data.File("20240101.vks");
    const int nRow = dlg.Model().RowOfPath(strGrowing);
    const int nBefore = dlg.Model().Day(nRow).summary.nReadings;
    testing_support::WriteFile(strGrowing,
                               testing_support::ReadFile(strGrowing) + "23:59:59,0.500\n");
    dlg.Poll();
    EXPECT_TRUE(dlg.Scanning());
    ASSERT_TRUE(ScanEnds(dlg));
    EXPECT_EQ(dlg.Model().Day(nRow).summary.nReadings, nBefore + 1);
}
