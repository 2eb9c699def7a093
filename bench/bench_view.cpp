// The window's interaction with a full day at 1920x1080, offscreen: a wheel step to the frame it
// causes, and a cursor move to its repaint. Each iteration sends the event to the chart and
// processes events until the frame is painted.
//
//   build/bench/bench_view --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "chart/ChartFeed.h"
#include "chart/ChartSetup.h"
#include "chart/StripChart.h"
#include "doc/DayDocument.h"
#include "ui/ChartInteraction.h"
#include "ui/DayWatch.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include "bench/QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {
// Calls back after each paint of the widget it watches.
class CPaintSpy : public QObject {
public:
    CPaintSpy(QWidget* pWidget, std::function<void()> onPainted)
        : m_pWidget(pWidget), m_onPainted(std::move(onPainted)) {
        pWidget->installEventFilter(this);
    }
    ~CPaintSpy() override { m_pWidget->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        if (pObject == m_pWidget && pEvent->type() == QEvent::Paint) {
            m_pWidget->removeEventFilter(this); // paint first, then say so
            QCoreApplication::sendEvent(m_pWidget, pEvent);
            m_pWidget->installEventFilter(this);
            m_onPainted();
            return true;
        }
        return QObject::eventFilter(pObject, pEvent);
    }

private:
    QWidget* m_pWidget;
    std::function<void()> m_onPainted;
};

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
        m_strip.ReplacePointsFrom(0, day);
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
// Following a day: a line appended to the file, to the chart's repaint, through the file-system
// notification (the one-second poll is the fallback and is not what this measures). The argument
// is how many readings the day already holds: a line must cost the same late in the day as early.
// Lines come further apart than the watch's settling time, as a look at one line costs.
void BM_AppendedLineToScreen(benchmark::State& state) {
    CDayWindow window;
    char szPath[] = "/tmp/quillon-bench-follow-XXXXXX.vks";
    const int fd = mkstemps(szPath, 4);
    std::FILE* pFile = fdopen(fd, "ab");
    const int nBefore = static_cast<int>(state.range(0));
    for (int i = 0; i < nBefore; ++i) {
        const int nSecond = i / 2;
        std::fprintf(pFile, "%02d:%02d:%02d,%.3f\n", nSecond / 3600, (nSecond / 60) % 60,
                     nSecond % 60, 0.25);
    }
    std::fflush(pFile);
    std::vector<FieldSample> samples(MAX_FIELD_SAMPLES);
    CDayDocument day(samples);
    bool bAppended = false;
    bool bShown = false;
    day.Listen([&](const CDayChange& change) {
        if (change.eKind == EDayChange::NewDay) {
            HandOverDay(window.m_strip, day);
        } else if (change.eKind == EDayChange::Appended) {
            HandOverAppended(window.m_strip, day, change.nFirstChanged);
            bAppended = true;
        }
    });
    // Shown: the chart has painted what the append asked it to, as the window paints it.
    CPaintSpy spy(&window.m_chart, [&] { bShown = bShown || bAppended; });
    (void)day.Open(szPath);
    CDayWatch watch(day, nullptr, nullptr);
    watch.Start();
    int nSecond = nBefore / 2;
    for (auto _ : state) {
        state.PauseTiming();
        const auto tQuiet = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - tQuiet < std::chrono::milliseconds(80)) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        bShown = false;
        bAppended = false;
        state.ResumeTiming();
        std::fprintf(pFile, "%02d:%02d:%02d,1.5\n", (nSecond / 3600) % 24, (nSecond / 60) % 60,
                     nSecond % 60);
        std::fflush(pFile);
        ++nSecond;
        const auto tStart = std::chrono::steady_clock::now();
        while (!bShown && std::chrono::steady_clock::now() - tStart < std::chrono::seconds(3)) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        if (!bShown) {
            state.SkipWithError("the appended line did not reach the chart");
        }
    }
    std::fclose(pFile);
    std::remove(szPath);
}
BENCHMARK(BM_AppendedLineToScreen)
    ->Arg(1000)
    ->Arg(170000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);
} // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
