// File > Print on a real printer device context: the Print dialog answered with a PDF file, the
// page read back with poppler's tools (pdfinfo, pdftotext, pdftoppm), the chart's state after one
// and two prints, and the same page from `quillon --export page.pdf`.

#include "platform/PrintDialog.h"
#include "tests/ui/test_viewer_support.h"

#include <QImage>
#include <QPageLayout>
#include <QPrinter>

#include <cmath>
#include <filesystem>

using namespace viewer_tests;
using testing_support::ReadFile;
namespace fs = std::filesystem;

namespace {

constexpr double RENDER_DPI = 50.0;

bool HavePoppler() {
    return RunCommand("pdfinfo -v && pdftotext -v && pdftoppm -v").nExit == 0;
}

int PageCount(const std::string& strPdf) {
    const CCommandResult result = RunCommand("pdfinfo " + Quoted(strPdf));
    const std::size_t nAt = result.strOut.find("Pages:");
    return nAt == std::string::npos ? -1 : std::atoi(result.strOut.c_str() + nAt + 6);
}

std::string PageText(const std::string& strPdf) {
    return RunCommand("pdftotext " + Quoted(strPdf) + " -").strOut;
}

QImage PageImage(const std::string& strPdf) {
    const std::string strBase = strPdf + "-render";
    RunCommand("pdftoppm -r " + std::to_string(static_cast<int>(RENDER_DPI)) +
               " -png -singlefile " + Quoted(strPdf) + " " + Quoted(strBase));
    QImage image(QString::fromStdString(strBase + ".png"));
    fs::remove(strBase + ".png");
    return image.convertToFormat(QImage::Format_RGB32);
}

// Where the chart should land on the page, in pixels of the rendering: a tenth of the printable
// area in from its corner, eight tenths of it truncated to whole inches.
QRectF PlacedRect() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QPageLayout layout = printer.pageLayout();
    const QRectF rcPoints = layout.paintRect(QPageLayout::Point);
    const QRectF rcMm = layout.paintRect(QPageLayout::Millimeter);
    const double dWidthIn = static_cast<int>(rcMm.width()) / 25.4;
    const double dHeightIn = static_cast<int>(rcMm.height()) / 25.4;
    const double dScale = RENDER_DPI / 72.0;
    return {rcPoints.left() * dScale + dWidthIn * 0.1 * RENDER_DPI,
            rcPoints.top() * dScale + dHeightIn * 0.1 * RENDER_DPI,
            std::trunc(dWidthIn * 0.8) * RENDER_DPI, std::trunc(dHeightIn * 0.8) * RENDER_DPI};
}

bool IsDark(QRgb rgb) {
    return qRed(rgb) < 80 && qGreen(rgb) < 80 && qBlue(rgb) < 80;
}
bool IsWhite(QRgb rgb) {
    return qRed(rgb) > 245 && qGreen(rgb) > 245 && qBlue(rgb) > 245;
}
// The screen trace and axes: cyan and white on black. Nothing of that belongs on paper.
bool IsScreenColour(QRgb rgb) {
    return qRed(rgb) < 100 && qGreen(rgb) > 180 && qBlue(rgb) > 180;
}

struct CPrintRealTest : CViewerFixture {
    std::string m_strDay;
    void SetUp() override {
        CViewerFixture::SetUp();
        if (!HavePoppler()) {
            GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext, pdftoppm) are not installed";
        }
        m_strDay = DayFile();
        m_strStartFile = m_strDay;
    }

    // Prints through File > Print with the Print dialog answered by a PDF file.
    void PrintTo(CViewerDlg& viewer, const std::string& strPdf) {
        m_script.m_printAnswers.push_back({IDOK, strPdf, false});
        viewer.SendCommand(ID_FILE_PRINT);
    }
};

// The chart as set-up and one print leave it: screen colours, two labels shown, label 2 the
// caption at the top centre in black, the selector on 1.
void ExpectAsAfterOnePrint(const CChartState& state, const std::string& strCaption) {
    EXPECT_EQ(state.crTrace, 0xFFFF00U);
    EXPECT_EQ(state.crBack, 0x000000U);
    EXPECT_EQ(state.crAxes, 0xFFFFFFU);
    EXPECT_EQ(state.crText, 0xFFFFFFU);
    EXPECT_EQ(state.crGrid, 0x808080U);
    EXPECT_EQ(state.nShownLabels, 2);
    EXPECT_EQ(state.nSelectedLabel, 1);
    const auto& labels = state.labels;
    ASSERT_GT(labels.size(), static_cast<std::size_t>(CAPTION_LABEL));
    EXPECT_EQ(labels[0].crColour, 0xFFFFFFU);
    EXPECT_EQ(labels[1].crColour, 0xFFFFFFU);
    const CChartLabel& caption = labels[CAPTION_LABEL];
    EXPECT_EQ(caption.strText, strCaption);
    EXPECT_EQ(caption.crColour, 0x000000U);
    EXPECT_EQ(caption.dX, 0.5);
    EXPECT_EQ(caption.dY, 0.0);
}

} // namespace

TEST_F(CPrintRealTest, CancelInThePrintDialogStartsNoJobAndWritesNothing) {
    CRecordedViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        const std::string strBefore = DescribeChart(viewer.GetChart()->State());
        dlg.m_pTap->m_calls.clear();
        viewer.SendCommand(ID_FILE_PRINT);
        EXPECT_EQ(m_script.OfKind(EModalKind::PrintDialog).size(), 1U);
        EXPECT_TRUE(dlg.m_pTap->m_calls.empty());
        EXPECT_EQ(DescribeChart(viewer.GetChart()->State()), strBefore);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    // Only the data file in its folder: no page anywhere.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_data.Path()), fs::directory_iterator()), 1);
}

TEST_F(CPrintRealTest, OnePageBlackOnWhiteWithTheCaptionInsideThePlacedRectangle) {
    const std::string strPdf = m_data.File("page.pdf");
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        PrintTo(viewer, strPdf);
        ExpectAsAfterOnePrint(viewer.GetChart()->State(), m_strDay);
        viewer.SendCommand(ID_FILE_EXIT);
    });

    EXPECT_EQ(PageCount(strPdf), 1);
    EXPECT_NE(PageText(strPdf).find(m_strDay), std::string::npos) << PageText(strPdf);

    const QImage page = PageImage(strPdf);
    ASSERT_FALSE(page.isNull());
    const QRectF rcPlaced = PlacedRect();
    const QRect rcAllowed = rcPlaced.adjusted(-2, -2, 2, 2).toAlignedRect();
    // What the page says of itself (the date, the span) sits just above the chart.
    const QRect rcNotes(rcAllowed.left(), rcAllowed.top() - static_cast<int>(0.3 * RENDER_DPI),
                        rcAllowed.width(), static_cast<int>(0.3 * RENDER_DPI));
    int nScreenColoured = 0;
    int nDarkOutside = 0;
    int nDarkNotes = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QRgb rgb = page.pixel(x, y);
            nScreenColoured += IsScreenColour(rgb) ? 1 : 0;
            nDarkNotes += IsDark(rgb) && rcNotes.contains(x, y) ? 1 : 0;
            nDarkOutside += IsDark(rgb) && !rcAllowed.contains(x, y) && !rcNotes.contains(x, y);
        }
    }
    EXPECT_EQ(nScreenColoured, 0) << "screen colours on paper";
    EXPECT_EQ(nDarkOutside, 0) << "ink outside the placed rectangle";
    EXPECT_GT(nDarkNotes, 0) << "no date and span above the chart";
    EXPECT_NE(PageText(strPdf).find("date not in file name, 00:00:00 to 24:00:00"),
              std::string::npos);
    EXPECT_TRUE(IsWhite(page.pixel(2, 2)));
    EXPECT_TRUE(IsWhite(page.pixel(page.width() / 2, page.height() - 3)));
    // The chart's background is the paper's white.
    const QRect rcInside = rcPlaced.toAlignedRect().intersected(page.rect());
    int nWhiteInside = 0;
    for (int y = rcInside.top(); y <= rcInside.bottom(); ++y) {
        for (int x = rcInside.left(); x <= rcInside.right(); ++x) {
            nWhiteInside += IsWhite(page.pixel(x, y)) ? 1 : 0;
        }
    }
    EXPECT_GT(nWhiteInside, rcInside.width() * rcInside.height() * 8 / 10);

    // The black trace runs across the plot: most columns of the plot area carry ink.
    const QRect rcPlot(static_cast<int>(rcPlaced.left() + 0.1 * rcPlaced.width()),
                       static_cast<int>(rcPlaced.top() + 0.1 * rcPlaced.height()),
                       static_cast<int>(0.8 * rcPlaced.width()),
                       static_cast<int>(0.7 * rcPlaced.height()));
    int nInkedColumns = 0;
    for (int x = rcPlot.left(); x <= rcPlot.right(); ++x) {
        bool bInk = false;
        for (int y = rcPlot.top(); y <= rcPlot.bottom() && !bInk; ++y) {
            bInk = IsDark(page.pixel(x, y));
        }
        nInkedColumns += bInk ? 1 : 0;
    }
    EXPECT_GT(nInkedColumns, rcPlot.width() * 9 / 10);
}

TEST_F(CPrintRealTest, PrintingTwiceGivesTheSamePageAndLeavesTheChartAsOnePrintDoes) {
    const std::string strFirst = m_data.File("first.pdf");
    const std::string strSecond = m_data.File("second.pdf");
    std::string strAfterOne;
    std::string strAfterTwo;
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        PrintTo(viewer, strFirst);
        strAfterOne = DescribeChart(viewer.GetChart()->State());
        PrintTo(viewer, strSecond);
        strAfterTwo = DescribeChart(viewer.GetChart()->State());
        ExpectAsAfterOnePrint(viewer.GetChart()->State(), m_strDay);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    EXPECT_EQ(strAfterTwo, strAfterOne);
    EXPECT_EQ(PageCount(strFirst), 1);
    EXPECT_EQ(PageCount(strSecond), 1);
    EXPECT_EQ(PageText(strSecond), PageText(strFirst));
    EXPECT_EQ(PageImage(strSecond), PageImage(strFirst));
}

TEST_F(CPrintRealTest, ExportedPageIsThePrintedPage) {
    QPrinter printer(QPrinter::HighResolution);
    const QPageSize::PageSizeId ePaper = printer.pageLayout().pageSize().id();
    if (ePaper != QPageSize::A4 && ePaper != QPageSize::Letter) {
        GTEST_SKIP() << "the printer's paper is neither A4 nor Letter";
    }
    const std::string strPrinted = m_data.File("printed.pdf");
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        PrintTo(viewer, strPrinted);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    const std::string strExported = m_data.File("exported.pdf");
    const CCommandResult result =
        RunCommand(Quoted(ProgramPath()) + " --export " + Quoted(strExported) + " --page " +
                   (ePaper == QPageSize::A4 ? "A4 " : "Letter ") + Quoted(m_strDay));
    ASSERT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(PageCount(strExported), 1);
    EXPECT_EQ(PageText(strExported), PageText(strPrinted));
    EXPECT_EQ(PageImage(strExported), PageImage(strPrinted));
}

TEST_F(CPrintRealTest, APagePrintedWhileZoomedShowsTheZoomedSpan) {
    const std::string strPdf = m_data.File("zoomed.pdf");
    CViewerDlg dlg(Context());
    RunViewer(dlg, [&](CViewerDlg& viewer) {
        ASSERT_TRUE(LoadedAtStartup(viewer));
        viewer.SendCommand(ID_VIEW_ZOOM_IN); // 06:00 to 18:00
        viewer.SendCommand(ID_VIEW_ZOOM_IN); // 09:00 to 15:00
        PrintTo(viewer, strPdf);
        viewer.SendCommand(ID_FILE_EXIT);
    });
    const std::string strText = PageText(strPdf);
    EXPECT_NE(strText.find("09:00"), std::string::npos) << strText;
    EXPECT_NE(strText.find("15:00"), std::string::npos) << strText;
    EXPECT_EQ(strText.find("24:00"), std::string::npos) << strText;
}
