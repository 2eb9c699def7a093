// The window's interaction with a full day at 1920x1080, offscreen: a wheel step to the frame it
// causes, and a cursor move to its repaint. Each iteration sends the event to the chart and
// processes events until the frame is painted.
//
//   build/bench/bench_view --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "chart/ChartFeed.h"
#include "chart/ChartSetup.h"
#include "chart/StripChart.h"
#include "ui/ChartInteraction.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
// A chart window of a full day, shown offscreen, with the window's interaction on it.
class CDayWindow {
public:
    CDayWindow() : m_interaction(&m_chart, [](EChartAction) {}) {
        std::vector<FieldSample> day(172800);
        for (int i = 0; i < 172800; ++i) {
            day[static_cast<std::size_t>(i)] = {1460.0 + i / 172800.0, 5.0 * std::sin(i / 900.0) +
                                                                           0.3 * std::sin(i * 1.7)};
        }
        m_strip.Attach(&m_chart);
        ApplyChartDisplaySettings(m_strip);
        HandOverPoints(m_strip, day);
        m_strip.SetPropertyR8(ChartId::ValueMax, 6.0);
        m_strip.SetPropertyR8(ChartId::ValueMin, -6.0);
        m_chart.resize(1920, 1080);
        m_chart.show();
        QApplication::processEvents();
    }
    CStripChart m_chart;
    CStrip m_strip;
    CChartInteraction m_interaction;
};

void BM_WheelStepToFrame(benchmark::State& state) {
    CDayWindow window;
    const QPointF pt(900, 500);
    int nNotches = 120;
    for (auto _ : state) {
        QWheelEvent wheel(pt, window.m_chart.mapToGlobal(pt), QPoint(), QPoint(0, nNotches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&window.m_chart, &wheel);
        QApplication::processEvents(); // the repaint the zoom asked for
        nNotches = -nNotches;          // in and out again, so the span stays near the day
    }
}
BENCHMARK(BM_WheelStepToFrame)->Unit(benchmark::kMillisecond);

void BM_CursorMoveToRepaint(benchmark::State& state) {
    CDayWindow window;
    int nX = 300;
    for (auto _ : state) {
        const QPointF pt(nX, 500);
        QMouseEvent move(QEvent::MouseMove, pt, window.m_chart.mapToGlobal(pt), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&window.m_chart, &move);
        QApplication::processEvents();
        nX = nX >= 1500 ? 300 : nX + 7;
    }
}
BENCHMARK(BM_CursorMoveToRepaint)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
