// Image export: the size argument, every error, and the promise of no half-written file.

#include "chart/ChartExport.h"
#include "chart/ChartFeed.h"
#include "chart/ChartModel.h"
#include "chart/ChartSetup.h"
#include "tests/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
std::set<std::string> Listing(const std::string& strFolder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(strFolder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

const char* const DAY = "00:00:00,0.5\n06:00:00,-1.5\n12:00:00,2.0\n18:00:00,0.0\n";

// The chart of a data file set up as the window sets it up.
struct CDayChart {
    CChartModel chart;
    CStrip strip;
    std::vector<FieldSample> samples = std::vector<FieldSample>(MAX_FIELD_SAMPLES);
    CDayDocument day{samples};
    bool bOpened = false;

    explicit CDayChart(const std::string& strData) {
        strip.Attach(&chart);
        ApplyChartDisplaySettings(strip);
        bOpened = day.Open(strData).bOpened;
        if (bOpened) {
            HandOverDay(strip, day);
        }
    }
};

// That chart, exported.
bool ExportDay(const std::string& strData, const std::string& strOut, int nWidth, int nHeight,
               std::string* pstrError) {
    const CDayChart day(strData);
    const COutcome outcome = ExportChartImage(day.chart.State(), strOut, nWidth, nHeight, strData);
    *pstrError = outcome.Error();
    return outcome.Ok();
}
} // namespace

TEST(ChartExport, SizeArgument) {
    struct {
        const char* pszArg;
        int nWidth; // 0: refused
        int nHeight;
    } cases[] = {
        {"1200x800", 1200, 800},   {"", 1200, 800},    {"16X16", 16, 16}, {"8000x8000", 8000, 8000},
        {"15x100", 0, 0},          {"100x8001", 0, 0}, {"1200", 0, 0},    {"x800", 0, 0},
        {"-5x10", 0, 0},           {"+50x50", 0, 0},   {"120 x80", 0, 0}, {"100x100x3", 0, 0},
        {"99999999999x100", 0, 0}, {"1e3x100", 0, 0},
    };
    for (const auto& c : cases) {
        int nWidth = -1;
        int nHeight = -1;
        const COutcome parsed = ParseSizeArg(c.pszArg, &nWidth, &nHeight);
        const std::string& strError = parsed.Error();
        EXPECT_EQ(parsed.Ok(), c.nWidth != 0) << c.pszArg;
        if (parsed.Ok()) {
            EXPECT_EQ(nWidth, c.nWidth);
            EXPECT_EQ(nHeight, c.nHeight);
        } else {
            EXPECT_NE(strError.find("bad size"), std::string::npos) << strError;
            EXPECT_EQ(strError.find('\n'), std::string::npos);
        }
    }
}

TEST(ChartExport, TheKindIsTheSuffixOfTheNameInAnyCase) {
    const std::pair<const char*, EExportKind> cases[] = {
        {"out.png", EExportKind::Png},         {"OUT.SVG", EExportKind::Svg},
        {"day.Pdf", EExportKind::Pdf},         {"a.pdf.png", EExportKind::Png},
        {"dir.pdf/out", EExportKind::Unknown}, {"out.pdfx", EExportKind::Unknown},
        {"out.", EExportKind::Unknown},        {"png", EExportKind::Unknown},
    };
    for (const auto& [pszName, eKind] : cases) {
        EXPECT_EQ(ExportKindOf(pszName), eKind) << pszName;
    }
}

TEST(ChartExport, WritesPngAndSvgOverAnOldFile) {
    CTempDir dir;
    WriteFile(dir.File("day.vks"), DAY);
    WriteFile(dir.File("chart.png"), "old");
    std::string strError;
    ASSERT_TRUE(ExportDay(dir.File("day.vks"), dir.File("chart.png"), 320, 200, &strError))
        << strError;
    const QImage image(QString::fromStdString(dir.File("chart.png")));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(320, 200));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));
    ASSERT_TRUE(ExportDay(dir.File("day.vks"), dir.File("chart.SVG"), 320, 200, &strError))
        << strError;
    const std::string strSvg = ReadFile(dir.File("chart.SVG"));
    EXPECT_NE(strSvg.find("viewBox=\"0 0 320 200\""), std::string::npos);
    EXPECT_NE(strSvg.find("</svg>"), std::string::npos);
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"day.vks", "chart.png", "chart.SVG"}));
}

// The colour table is an encoding, never a change: the PNG holds the drawing's every pixel, and
// a picture of more than 256 colours keeps its own.
TEST(ChartExport, PngPixelsAreTheDrawingsWhateverTheEncoding) {
    CTempDir dir;
    WriteFile(dir.File("day.vks"), DAY);
    std::string strError;
    ASSERT_TRUE(ExportDay(dir.File("day.vks"), dir.File("chart.png"), 640, 400, &strError))
        << strError;
    const CDayChart day(dir.File("day.vks"));
    ASSERT_TRUE(day.bOpened);
    const QImage drawn = RenderChartImage(day.chart.State(), 640, 400);
    const QImage written(QString::fromStdString(dir.File("chart.png")));
    EXPECT_EQ(written.format(), QImage::Format_Indexed8);
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), drawn);

    QImage many(300, 1, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x) {
        many.setPixel(x, 0, qRgb(x % 256, x / 256, 7));
    }
    EXPECT_TRUE(ExactPaletteImage(many).isNull());
    const QImage few = many.copy(0, 0, 256, 1);
    EXPECT_EQ(ExactPaletteImage(few).convertToFormat(QImage::Format_RGB32), few);
}

TEST(ChartExport, ErrorsLeaveEverythingAsItWas) {
    CTempDir dir;
    WriteFile(dir.File("day.vks"), DAY);
    WriteFile(dir.File("chart.png"), "old");
    fs::create_directory(dir.File("folder.png"));
    // A pipe (a device would need root) by its name and through a link: never replaced.
    ASSERT_EQ(mkfifo(dir.File("pipe.png").c_str(), 0600), 0);
    fs::create_symlink("pipe.png", dir.File("link.svg"));
    struct {
        std::string strData;
        std::string strOut;
        int nWidth;
        const char* pszMessage;
    } cases[] = {
        {dir.File("day.vks"), dir.File("chart.bmp"), 100, "unknown file type"},
        {dir.File("day.vks"), dir.File("chart"), 100, "unknown file type"},
        {dir.File("day.vks"), dir.File("chart.png"), 10, "bad size"},
        {dir.File("day.vks"), dir.File("none/chart.png"), 100, "does not exist"},
        {dir.File("day.vks"), dir.File("day.vks/chart.png"), 100, "is not a folder"},
        {dir.File("day.vks"), dir.File("folder.png"), 100, "is a folder"},
        {dir.File("day.vks"), "/proc/quillon-chart.png", 100, "cannot write"},
        {dir.File("day.vks"), dir.File("pipe.png"), 100, "not a regular file: "},
        {dir.File("day.vks"), dir.File("link.svg"), 100, "not a regular file: "},
    };
    const auto before = Listing(dir.Path());
    for (const auto& c : cases) {
        std::string strError;
        EXPECT_FALSE(ExportDay(c.strData, c.strOut, c.nWidth, 100, &strError)) << c.strOut;
        EXPECT_NE(strError.find(c.pszMessage), std::string::npos) << strError;
        EXPECT_EQ(strError.find('\n'), std::string::npos);
        EXPECT_EQ(Listing(dir.Path()), before) << c.strOut;
        EXPECT_EQ(ReadFile(dir.File("chart.png")), "old");
        EXPECT_TRUE(fs::is_fifo(dir.File("pipe.png")) && fs::is_symlink(dir.File("link.svg")));
    }
}

TEST(ChartExport, ReadOnlyFolderIsRefusedWithoutATrace) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    CTempDir dir;
    WriteFile(dir.File("day.vks"), DAY);
    fs::create_directory(dir.File("locked"));
    WriteFile(dir.File("locked/chart.png"), "old");
    chmod(dir.File("locked").c_str(), 0555);
    std::string strError;
    EXPECT_FALSE(ExportDay(dir.File("day.vks"), dir.File("locked/chart.png"), 100, 100, &strError));
    EXPECT_NE(strError.find("cannot write"), std::string::npos) << strError;
    EXPECT_EQ(Listing(dir.File("locked")), std::set<std::string>{"chart.png"});
    EXPECT_EQ(ReadFile(dir.File("locked/chart.png")), "old");
}
