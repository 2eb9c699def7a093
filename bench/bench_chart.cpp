// Drawing a full day (172,800 points): a redraw at 1920x1080 into an image, and one printed page
// as a PDF at 1200 dpi through chart method 140, with the page's size as a counter.
//
//   build/bench/bench_chart --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "chart/ChartFeed.h"
#include "chart/ChartSetup.h"
#include "chart/StripChart.h"
#include "platform/DeviceContext.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "bench/QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <random>
#include <vector>

namespace {
constexpr int FULL_DAY = 172800;
constexpr int PRINTER_DPI = 1200;

// A fair-weather day with an afternoon storm, two readings a second, as the logger writes them.
std::vector<FieldSample> MakeDay() {
    std::vector<FieldSample> points(FULL_DAY);
    std::mt19937_64 rng(20040101);
    std::normal_distribution<double> noise(0.0, 1.0);
    double dDrift = 0.0;
    double dStorm = 0.0;
    for (int i = 0; i < FULL_DAY; ++i) {
        const double t = i / 2.0;
        dDrift = 0.9995 * dDrift + 0.004 * noise(rng);
        const double dActivity =
            t > 50400 && t < 63000 ? std::sin((t - 50400) / 12600 * std::numbers::pi) : 0;
        dStorm +=
            0.02 * (dActivity * 9.0 * std::sin(t / 143.0) - dStorm) + dActivity * 0.15 * noise(rng);
        points[static_cast<std::size_t>(i)] = {1460.0 + static_cast<int>(t) / 86400.0,
                                               0.25 + dDrift + dStorm};
    }
    return points;
}

// A chart set up as the main window sets it up, holding a full day.
class CDayChart {
public:
    CDayChart() : m_points(MakeDay()) {
        m_strip.Attach(&m_chart);
        ApplyChartDisplaySettings(m_strip);
        m_strip.ReplacePointsFrom(0, m_points);
        m_strip.SetPropertyR8(ChartId::ValueMax, 11.0);
        m_strip.SetPropertyR8(ChartId::ValueMin, -11.0);
        m_strip.SetPropertyR8(ChartId::TimeMin, 1460.0);
        m_strip.SetPropertyR8(ChartId::TimeMax, 1461.0);
    }
    CStripChart m_chart;
    CStrip m_strip;

private:
    std::vector<FieldSample> m_points;
};

void BM_RedrawFullDay1920x1080(benchmark::State& state) {
    CDayChart day;
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        day.m_chart.Draw(painter, QRectF(0, 0, 1920, 1080), CChartStyle{true});
    }
}
BENCHMARK(BM_RedrawFullDay1920x1080)->Unit(benchmark::kMillisecond);

// The same day zoomed: the argument is the span in view, in seconds, around 15:00 (the storm).
void BM_RedrawZoomed1920x1080(benchmark::State& state) {
    CDayChart day;
    const double dSpan = static_cast<double>(state.range(0)) / 86400.0;
    CChartView view;
    view.bTimeSet = true;
    view.time = {1460.625 - dSpan / 2, 1460.625 + dSpan / 2};
    day.m_chart.SetView(view);
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        day.m_chart.Draw(painter, QRectF(0, 0, 1920, 1080), CChartStyle{true});
    }
}
BENCHMARK(BM_RedrawZoomed1920x1080)->Arg(86400)->Arg(3600)->Arg(60)->Unit(benchmark::kMillisecond);

// The page as printing draws it: print colours, the caption as label 2, and method 140 at 10 %
// of an A4 page's width and height from its corner, 6 by 9 inches.
void BM_PdfPageFullDay1200dpi(benchmark::State& state) {
    CDayChart day;
    CStrip& strip = day.m_strip;
    SetChartColours(strip, PRINT_TRACE, PRINT_BACK, PRINT_AXES, PRINT_LABELS);
    strip.SetPropertyI2(ChartId::LabelCount, 3);
    strip.SetPropertyI2(ChartId::LabelSelect, CAPTION_LABEL);
    strip.SetPropertyR8(ChartId::LabelX, 0.5);
    strip.SetPropertyR8(ChartId::LabelY, 0.0);
    strip.SetPropertyI4(ChartId::LabelColour, static_cast<LONG>(PRINT_CAPTION));
    strip.SetPropertyBstr(ChartId::StockCaption, "/home/observer/vks/2004-01-01.vks");
    qint64 nBytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setResolution(PRINTER_DPI);
            writer.setPageSize(QPageSize(QPageSize::A4));
            QPainter painter(&writer);
            const HDC_HANDLE hDC = RegisterDeviceContext({&painter, PRINTER_DPI, PRINTER_DPI});
            strip.DrawToDC(hDC, 0.8267716535433071, 1.1692913385826773, 6.0, 9.0);
            UnregisterDeviceContext(hDC);
        }
        nBytes = buffer.size();
    }
    state.counters["pdf_bytes"] = static_cast<double>(nBytes);
}
BENCHMARK(BM_PdfPageFullDay1200dpi)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
