#include "print/PageExport.h"

#include "chart/ChartModel.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSetup.h"
#include "chart/Strip.h"
#include "platform/AtomicFile.h"
#include "platform/PrinterDC.h"
#include "tests/TestSupport.h"

#include <QPrinter>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
std::unique_ptr<QPrinter> PdfPrinter(const std::string& strPath) {
    auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pPrinter->setOutputFormat(QPrinter::PdfFormat);
    pPrinter->setOutputFileName(QString::fromStdString(strPath));
    pPrinter->setPageSize(QPageSize(QPageSize::A4));
    return pPrinter;
}

std::string PdfInfo(const std::string& strPath) {
    std::string strOut;
    const std::string strCmd = "pdfinfo '" + strPath + "' 2>/dev/null";
    if (FILE* pPipe = popen(strCmd.c_str(), "r")) {
        char sz[256];
        while (fgets(sz, sizeof(sz), pPipe) != nullptr) {
            strOut += sz;
        }
        pclose(pPipe);
    }
    return strOut;
}
} // namespace

// ---- The printer device context on a PDF printer ---------------------------------------------

TEST(QtPrinterDC, PrintableAreaInMillimetresAndAHandleThatResolves) {
    CTempDir dir;
    CQtPrinterDC dc(PdfPrinter(dir.File("a.pdf")));
    const int nWidth = dc.GetDeviceCaps(HORZSIZE);
    const int nHeight = dc.GetDeviceCaps(VERTSIZE);
    EXPECT_GT(nWidth, 150);
    EXPECT_LE(nWidth, 210);
    EXPECT_GT(nHeight, 230);
    EXPECT_LE(nHeight, 297);

    DOCINFOA info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = "Quillon";
    EXPECT_GT(dc.StartDoc(&info), 0);
    CDeviceContextTarget target;
    ASSERT_TRUE(ResolveDeviceContext(dc.GetSafeHdc(), &target));
    EXPECT_NE(target.pPainter, nullptr);
    EXPECT_NEAR(target.dDpiX, 1200.0, 1.0);
    EXPECT_EQ(dc.StartPage(), 1);
    EXPECT_GT(dc.EndPage(), 0);
    const HDC_HANDLE hDC = dc.GetSafeHdc();
    EXPECT_GT(dc.EndDoc(), 0);
    EXPECT_FALSE(ResolveDeviceContext(hDC, &target)); // the handle dies with the job
    EXPECT_TRUE(fs::exists(dir.File("a.pdf")));
}

TEST(QtPrinterDC, AbortedOrAbandonedJobLeavesNoFile) {
    CTempDir dir;
    {
        CQtPrinterDC dc(PdfPrinter(dir.File("aborted.pdf")));
        DOCINFOA info{};
        ASSERT_GT(dc.StartDoc(&info), 0);
        dc.StartPage();
        dc.AbortDoc();
    }
    {
        CQtPrinterDC dc(PdfPrinter(dir.File("abandoned.pdf")));
        DOCINFOA info{};
        ASSERT_GT(dc.StartDoc(&info), 0);
        dc.StartPage();
    } // deleted with the job open
    EXPECT_FALSE(fs::exists(dir.File("aborted.pdf")));
    EXPECT_FALSE(fs::exists(dir.File("abandoned.pdf")));
}

TEST(QtPrinterDC, StartDocFailsWhereTheFileCannotBeWritten) {
    CTempDir dir;
    CQtPrinterDC dc(PdfPrinter(dir.File("no/such/folder/x.pdf")));
    DOCINFOA info{};
    EXPECT_LE(dc.StartDoc(&info), 0);
}

// ---- ExportChartPage ------------------------------------------------------------------------

TEST(PageExport, WritesOnePageAndNothingElse) {
    CTempDir dir;
    CStrip chart; // nothing bound: the page has no chart, the job still runs
    const std::string strOut = dir.File("page.pdf");
    const COutcome written = ExportChartPage(chart, "/data/day.vks", strOut, EPaper::A4);
    ASSERT_TRUE(written.Ok()) << written.Error();
    EXPECT_EQ(ReadFile(strOut).substr(0, 5), "%PDF-");
    // Only the page itself is left in the folder: no temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    const std::string strInfo = PdfInfo(strOut);
    if (!strInfo.empty()) {
        EXPECT_NE(strInfo.find("Pages:           1\n"), std::string::npos) << strInfo;
        EXPECT_NE(strInfo.find("(A4)"), std::string::npos) << strInfo; // A4
    }
}

TEST(PageExport, ReplacesALinkedPrivatePageInPlaceOrNotAtAll) {
    CTempDir dir;
    CStrip chart;
    const std::string strReal = dir.File("real.pdf");
    WriteFile(strReal, "old bytes");
    ::chmod(strReal.c_str(), 0600);
    fs::create_symlink("real.pdf", dir.File("page.pdf"));

    // A write error the printer never saw, reported by the sync: the old page stays.
    InjectAtomicFileFault(EAtomicFault::Sync, EIO);
    const COutcome failed = ExportChartPage(chart, "c", dir.File("page.pdf"), EPaper::A4);
    InjectAtomicFileFault(EAtomicFault::Sync, 0);
    EXPECT_EQ(failed.Error(), "cannot write " + dir.File("page.pdf") + ": Input/output error");
    EXPECT_EQ(ReadFile(strReal), "old bytes");

    ASSERT_TRUE(ExportChartPage(chart, "c", dir.File("page.pdf"), EPaper::A4).Ok());
    EXPECT_TRUE(fs::is_symlink(dir.File("page.pdf")));
    EXPECT_EQ(ReadFile(strReal).substr(0, 5), "%PDF-");
    EXPECT_EQ(fs::status(strReal).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST(PageExport, UnwritableFolderLeavesTheTargetAlone) {
    CTempDir dir;
    CStrip chart;
    EXPECT_FALSE(ExportChartPage(chart, "c", dir.File("missing/page.pdf"), EPaper::A4).Ok());

    const std::string strOut = dir.File("keep.pdf");
    WriteFile(strOut, "old bytes");
    fs::permissions(dir.Path(), fs::perms::owner_write, fs::perm_options::remove);
    if (ExportChartPage(chart, "c", strOut, EPaper::A4).Ok()) {
        GTEST_SKIP() << "running as root: folder permissions do not bind";
    }
    EXPECT_EQ(ReadFile(strOut), "old bytes");
}

TEST(PageExport, PaperNames) {
    EPaper ePaper = EPaper::A4;
    EXPECT_TRUE(ParsePaperName("letter", &ePaper));
    EXPECT_EQ(ePaper, EPaper::Letter);
    EXPECT_TRUE(ParsePaperName("A4", &ePaper));
    EXPECT_EQ(ePaper, EPaper::A4);
    EXPECT_FALSE(ParsePaperName("A3", &ePaper));
}

// ---- What the page says beside its caption ----------------------------------------------------

namespace {
std::string RunText(const std::string& strCommand) {
    std::string strOut;
    if (FILE* pPipe = popen((strCommand + " 2>/dev/null").c_str(), "r")) {
        char sz[512];
        while (fgets(sz, sizeof(sz), pPipe) != nullptr) {
            strOut += sz;
        }
        pclose(pPipe);
    }
    return strOut;
}

// The height in points of the first word strWord on the page, as pdftotext's boxes give it.
double WordHeight(const std::string& strBoxes, const std::string& strWord) {
    const std::size_t nAt = strBoxes.find(">" + strWord + "</word>");
    const std::size_t nOpen = strBoxes.rfind("<word ", nAt);
    if (nAt == std::string::npos || nOpen == std::string::npos) {
        return 0.0;
    }
    const auto attribute = [&](const char* pszName) {
        const std::size_t n = strBoxes.find(pszName, nOpen);
        return std::atof(strBoxes.c_str() + n + std::strlen(pszName) + 2);
    };
    return attribute("yMax") - attribute("yMin");
}
} // namespace

TEST(PageExport, ThePageSaysItsDateAndSpanAndItsTickLabelsStayLegible) {
    if (RunText("pdftotext -v 2>&1 && echo ok").find("ok") == std::string::npos) {
        GTEST_SKIP() << "poppler-utils (pdftotext) are not installed";
    }
    CTempDir dir;
    CChartModel model;
    CChartRenderer renderer;
    model.SetDeviceRenderer(&renderer);
    CStrip chart;
    chart.Attach(&model);
    ApplyChartDisplaySettings(chart);
    CChartView view;
    view.bTimeSet = true;
    view.time = {1460.0 + 14.0 / 24, 1460.0 + 17.0 / 24};
    chart.SetView(view);

    const std::string strDated = dir.File("dated.pdf");
    const std::string strUndated = dir.File("undated.pdf");
    ASSERT_TRUE(ExportChartPage(chart, "/data/20040102.vks", strDated, EPaper::A4).Ok());
    ASSERT_TRUE(
        ExportChartPage(chart, "/data/day.vks", strUndated, EPaper::A4, EPageOrientation::Landscape)
            .Ok());
    model.SetDeviceRenderer(nullptr);

    const std::string strText = RunText("pdftotext -layout '" + strDated + "' -");
    EXPECT_NE(strText.find("2004-01-02, 14:00:00 to 17:00:00"), std::string::npos) << strText;
    EXPECT_NE(strText.find("/data/20040102.vks"), std::string::npos) << "the caption stays";
    const std::string strOther = RunText("pdftotext -layout '" + strUndated + "' -");
    EXPECT_NE(strOther.find("date not in file name, 14:00:00 to 17:00:00"), std::string::npos)
        << strOther;
    const std::string strInfo = PdfInfo(strUndated);
    double dWidth = 0.0;
    double dHeight = 0.0;
    ASSERT_TRUE(PdfPageSize(strInfo, &dWidth, &dHeight)) << strInfo;
    EXPECT_GT(dWidth, dHeight) << "the page lies across";

    // Tick labels against the 12-point caption: at least 7 points on paper.
    const std::string strBoxes = RunText("pdftotext -bbox '" + strDated + "' -");
    const double dCaption = WordHeight(strBoxes, "/data/20040102.vks");
    const double dTick = WordHeight(strBoxes, "15:00");
    ASSERT_GT(dCaption, 0.0) << strBoxes;
    ASSERT_GT(dTick, 0.0) << strBoxes;
    EXPECT_GE(12.0 * dTick / dCaption, 7.0);
}
