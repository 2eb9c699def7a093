// A year of days summarised: cold on every core (no cache, the files in the page cache), one day
// on one core (the load plus its summary), the same year from the summary cache, and the archive
// overview's first paint from that cache.
//
//   bench/make_year.sh /tmp/quillon-year 365
//   QUILLON_ARCHIVE_DIR=/tmp/quillon-year build/bench/bench_archive
//
// bench/compare_archive.sh runs it beside bench_load and the program itself and states the ratios.

#include "bench/QtBenchmarkMain.h"
#include "doc/ArchiveScan.h"
#include "doc/SummaryCache.h"
#include "ui/ArchiveDlg.h"

#include <QApplication>
#include <QPixmap>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {
const CSummaryLevels LEVELS{2.0, 5.0, 10};

std::string YearFolder() {
    const char* psz = std::getenv("QUILLON_ARCHIVE_DIR");
    return psz != nullptr && *psz != '\0' ? psz : "/tmp/quillon-year";
}

std::vector<CDayFile> ListedYear(benchmark::State& state) {
    std::vector<CDayFile> files;
    if (!ListDayFiles(YearFolder(), &files).Ok() || files.empty()) {
        state.SkipWithError("no days: run bench/make_year.sh first (QUILLON_ARCHIVE_DIR)");
    }
    return files;
}

// A cache of the year made once, in a folder of its own, for the cached runs.
const std::string& CacheFolder() {
    static const std::string s_strFolder = [] {
        const std::string strFolder =
            (std::filesystem::temp_directory_path() / "quillon-bench-archive-cache").string();
        std::filesystem::remove_all(strFolder);
        std::vector<CDayFile> files;
        if (ListDayFiles(YearFolder(), &files).Ok()) {
            CSummaryCache cache;
            for (const CDayScan& day : ScanDays(files, LEVELS)) {
                cache.Put(day.file.strName, day.file.nSize, day.file.nModified, day.summary);
            }
            (void)cache.Save(strFolder, YearFolder(), LEVELS);
        }
        std::atexit([] { std::filesystem::remove_all(CacheFolder()); });
        return strFolder;
    }();
    return s_strFolder;
}

void BM_SummariseYearCold(benchmark::State& state) {
    for (auto _ : state) {
        const std::vector<CDayFile> files = ListedYear(state);
        const std::vector<CDayScan> days = ScanDays(files, LEVELS);
        benchmark::DoNotOptimize(days.data());
        state.counters["days"] = static_cast<double>(days.size());
    }
    state.counters["workers"] = CArchiveScan::DefaultWorkers();
}
BENCHMARK(BM_SummariseYearCold)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The single-core cost of one day as the scan pays it: read, then summarised.
void BM_SummariseOneDay(benchmark::State& state) {
    const std::vector<CDayFile> files = ListedYear(state);
    if (files.empty()) {
        return;
    }
    CFieldReader reader;
    std::vector<FieldSample> samples(MAX_FIELD_SAMPLES);
    for (auto _ : state) {
        const CDayScan day = ScanDay(files.front(), LEVELS, reader, samples);
        benchmark::DoNotOptimize(day.summary.nReadings);
    }
}
BENCHMARK(BM_SummariseOneDay)->Unit(benchmark::kMillisecond);

// The summary alone, of a day already read: its share of the above.
void BM_SummaryOfReadDay(benchmark::State& state) {
    const std::vector<CDayFile> files = ListedYear(state);
    if (files.empty()) {
        return;
    }
    std::vector<FieldSample> samples(MAX_FIELD_SAMPLES);
    const CFieldRead read = ReadFieldFile(files.front().strPath, samples);
    for (auto _ : state) {
        const CDaySummary summary = SummariseDay(read.records, 0, LEVELS);
        benchmark::DoNotOptimize(summary.nReadings);
    }
}
BENCHMARK(BM_SummaryOfReadDay)->Unit(benchmark::kMillisecond);

// A second look at an unchanged year: the folder listed, the cache read, every day found there.
void BM_SummariseYearCached(benchmark::State& state) {
    const std::string& strCache = CacheFolder();
    for (auto _ : state) {
        const std::vector<CDayFile> files = ListedYear(state);
        CSummaryCache cache;
        cache.Load(strCache, YearFolder(), LEVELS);
        std::size_t nFound = 0;
        for (const CDayFile& file : files) {
            nFound += cache.Find(file.strName, file.nSize, file.nModified) != nullptr ? 1 : 0;
        }
        if (nFound != files.size()) {
            state.SkipWithError("the cache does not hold every day");
        }
    }
}
BENCHMARK(BM_SummariseYearCached)->Unit(benchmark::kMillisecond)->UseRealTime();

// The overview opened on the cached year, up to its first paint.
void BM_OverviewFirstPaintFromCache(benchmark::State& state) {
    CArchiveContext context{YearFolder(), CacheFolder(), LEVELS, 0, 0, {}};
    for (auto _ : state) {
        auto pDlg = std::make_unique<CArchiveDlg>(context);
        pDlg->show();
        const QPixmap frame = pDlg->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
        if (pDlg->Scanning()) {
            state.SkipWithError("the overview had days to read");
        }
        state.PauseTiming();
        pDlg.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OverviewFirstPaintFromCache)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
