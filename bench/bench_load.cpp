// Loading a full day (172,800 lines) into the day's array and a chart, against a bare
// read-and-parse loop and against the naive mktime + localtime per line.
//
//   build/bench/bench_load --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "chart/ChartFeed.h"
#include "chart/Strip.h"
#include "data/ChartTime.h"
#include "data/FieldLoader.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {
FieldSample s_samples[MAX_FIELD_SAMPLES];

const std::string& DayFile() {
    static const std::string s_strPath = [] {
        char szTemplate[] = "/tmp/quillon-bench-XXXXXX.vks";
        const int fd = mkstemps(szTemplate, 4);
        std::FILE* pFile = fdopen(fd, "w");
        for (int i = 0; i < MAX_FIELD_SAMPLES; ++i) {
            const int s = i / 2;
            std::fprintf(pFile, "%02d:%02d:%02d,%.3f\n", s / 3600, (s / 60) % 60, s % 60,
                         0.3 + 8.0 * std::sin(i * 0.001) * std::cos(i * 0.00037));
        }
        std::fclose(pFile);
        std::atexit([] { std::remove(DayFile().c_str()); });
        return std::string(szTemplate);
    }();
    return s_strPath;
}

// A chart that accepts everything, as the real one does, without drawing.
class CNullChart : public IChartDispatch {
public:
    HRESULT Invoke(DISPID, WORD, const VARIANT*, UINT) override { return S_OK; }
    void SetView(const CChartView&) override {}
    void SetAlarmLevels(const CAlarmLevels&) override {}
    void SetCursor(bool, double) override {}
    void SetFlashMarks(std::span<const double>) override {}
    void SetFieldUnit(const CFieldUnit&) override {}
    void ReplacePointsFrom(std::size_t, std::span<const FieldSample>) override {}
    [[nodiscard]] const CChartState& State() const override { return m_state; }

private:
    CChartState m_state;
};

// A load as the window makes one: the day document reads the file and its listener hands the day
// to the chart.
void BM_LoadFieldFile(benchmark::State& state) {
    CNullChart target;
    CStrip chart;
    chart.Attach(&target);
    CDayDocument day(s_samples);
    day.Listen([&](const CDayChange&) { HandOverDay(chart, day); });
    const std::string& strPath = DayFile();
    for (auto _ : state) {
        const CDayDocument::COpened opened = day.Open(strPath);
        benchmark::DoNotOptimize(day.Records().data());
        if (!opened.bOpened || day.Records().size() != MAX_FIELD_SAMPLES) {
            state.SkipWithError("short load");
        }
    }
}
BENCHMARK(BM_LoadFieldFile)->Unit(benchmark::kMillisecond);

// Following a day: one line appended to a full day's file, read from the end of the last line.
void BM_ReadOneAppendedLine(benchmark::State& state) {
    const std::string strPath = DayFile() + ".grown";
    {
        std::FILE* pIn = std::fopen(DayFile().c_str(), "rb");
        std::FILE* pOut = std::fopen(strPath.c_str(), "wb");
        char buffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pIn)) > 0) {
            std::fwrite(buffer, 1, n, pOut);
        }
        std::fclose(pIn);
        std::fclose(pOut);
    }
    // Where the day ended, as a whole read of it reports.
    static FieldSample s_rest[MAX_FIELD_SAMPLES];
    const CFieldRead whole = ReadFieldFile(DayFile(), s_samples);
    {
        std::FILE* pOut = std::fopen(strPath.c_str(), "ab");
        std::fputs("23:59:59,1.234\n", pOut);
        std::fclose(pOut);
    }
    CFieldReader reader; // kept from read to read, as the follower keeps its own
    for (auto _ : state) {
        const CFieldRead next = reader.Read(strPath, s_rest, {whole.nEndOffset, whole.nNextLine});
        if (next.records.size() != 1) {
            state.SkipWithError("the appended line was not read");
        }
    }
    std::remove(strPath.c_str());
}
BENCHMARK(BM_ReadOneAppendedLine)->Unit(benchmark::kMicrosecond);

// The floor: fgets, atoi three times and atof, nothing else.
void BM_BareReadAndParse(benchmark::State& state) {
    const std::string& strPath = DayFile();
    char szLine[256];
    for (auto _ : state) {
        std::FILE* pFile = std::fopen(strPath.c_str(), "r");
        double dSum = 0.0;
        int n = 0;
        while (n < MAX_FIELD_SAMPLES && std::fgets(szLine, 255, pFile) != nullptr) {
            dSum += std::atoi(szLine) + std::atoi(szLine + 3) + std::atoi(szLine + 6) +
                    std::atof(szLine + 9);
            ++n;
        }
        std::fclose(pFile);
        benchmark::DoNotOptimize(dSum);
    }
}
BENCHMARK(BM_BareReadAndParse)->Unit(benchmark::kMillisecond);

// What the loader avoids: one mktime and one localtime per line.
void BM_NaiveMktimePerLine(benchmark::State& state) {
    for (auto _ : state) {
        double dSum = 0.0;
        for (int i = 0; i < MAX_FIELD_SAMPLES; ++i) {
            const int s = i / 2;
            std::tm tm{};
            tm.tm_year = 104;
            tm.tm_mday = 1;
            tm.tm_hour = s / 3600;
            tm.tm_min = (s / 60) % 60;
            tm.tm_sec = s % 60;
            tm.tm_isdst = -1;
            dSum += ChartTimeFromTime(std::mktime(&tm));
        }
        benchmark::DoNotOptimize(dSum);
    }
}
BENCHMARK(BM_NaiveMktimePerLine)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

BENCHMARK_MAIN();
