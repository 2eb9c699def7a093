#include "app/ExportCommand.h"

#include "app/CommandLine.h"
#include "chart/ChartExport.h"
#include "chart/ChartFeed.h"
#include "chart/ChartModel.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSetup.h"
#include "chart/ChartView.h"
#include "chart/Strip.h"
#include "print/PageExport.h"
#include "settings/ViewOptions.h"

#include <QFileInfo>

#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <system_error>
#include <thread>
#include <vector>

namespace {
int Fail(std::ostream& err, const std::string& strMessage) {
    err << "quillon: " << strMessage << "\n";
    return 1;
}

// The chart as the main window sets it up, without a window, with the file's day handed over as
// the window's day document hands it.
class CLoadedChart {
public:
    CLoadedChart() : m_samples(MAX_FIELD_SAMPLES), m_day(m_samples) {
        m_model.SetDeviceRenderer(&m_renderer);
        m_strip.Attach(&m_model);
        ApplyChartDisplaySettings(m_strip);
        m_day.Listen([this](const CDayChange& change) {
            if (change.eKind == EDayChange::NewDay) {
                HandOverDay(m_strip, m_day);
            }
        });
    }
    ~CLoadedChart() { m_model.SetDeviceRenderer(nullptr); }
    CLoadedChart(const CLoadedChart&) = delete;
    CLoadedChart& operator=(const CLoadedChart&) = delete;

    // The whole file, or a message saying why not.
    COutcome Load(const std::string& strPath) { return m_day.Open(strPath).outcome; }
    // What the command line asks beyond the chart as loaded: a span of the day, the alarm levels
    // (pAlarms, or the settings' when null).
    void ApplyView(const CCommandLine& cmd, const CAlarmLevels* pAlarms = nullptr) {
        const CChartState& state = m_strip.State();
        const double dDay = NormaliseRange(state.time, DEFAULT_TIME_RANGE).dLower;
        if (cmd.nFromSeconds >= 0 || cmd.nToSeconds >= 0) {
            const double dFrom = cmd.nFromSeconds >= 0 ? cmd.nFromSeconds : 0;
            const double dTo = cmd.nToSeconds >= 0 ? cmd.nToSeconds : SECONDS_PER_DAY;
            CChartView view = state.view;
            view.bTimeSet = true;
            view.time = {dDay + dFrom / SECONDS_PER_DAY, dDay + dTo / SECONDS_PER_DAY};
            m_strip.SetView(view);
        }
        if (cmd.bPotentialGradient) {
            m_strip.SetFieldUnit({true});
        }
        if (!cmd.bNoAlarms && pAlarms != nullptr) {
            m_strip.SetAlarmLevels(*pAlarms);
        } else if (!cmd.bNoAlarms) {
            CViewOptions options;
            options.Load();
            m_strip.SetAlarmLevels({options.m_dWarningLevel, options.m_dAlertLevel});
        }
    }
    [[nodiscard]] CStrip& Strip() { return m_strip; }
    [[nodiscard]] const CChartState& State() const { return m_strip.State(); }

private:
    std::vector<FieldSample> m_samples;
    CDayDocument m_day;
    CChartModel m_model;
    CChartRenderer m_renderer;
    CStrip m_strip;
};

// The chart to export: the target's place checked first, then the file loaded and the view the
// command line asks for applied.
COutcome PrepareChart(const CCommandLine& cmd, CLoadedChart& chart,
                      const CAlarmLevels* pAlarms = nullptr) {
    if (COutcome target = CheckExportTarget(cmd.strOutput); !target.Ok()) {
        return target;
    }
    if (COutcome loaded = chart.Load(cmd.strFile); !loaded.Ok()) {
        return loaded;
    }
    chart.ApplyView(cmd, pAlarms);
    return {};
}

int ExportPage(const CCommandLine& cmd, std::ostream& err) {
    EPaper ePaper = DefaultPaperForLocale();
    if (!cmd.strPage.empty() && !ParsePaperName(cmd.strPage, &ePaper)) {
        return Fail(err, "unknown paper size \"" + cmd.strPage + "\": use A4 or Letter");
    }
    // Printed as File > Print prints it, with the data file's path as the caption.
    CLoadedChart chart;
    if (COutcome prepared = PrepareChart(cmd, chart); !prepared.Ok()) {
        return Fail(err, prepared.Error());
    }
    const COutcome written = ExportChartPage(chart.Strip(), cmd.strFile, cmd.strOutput, ePaper);
    return written.Ok() ? 0 : Fail(err, written.Error());
}

// ---- Many days into a folder ----------------------------------------------------------------

// What every day of a batch is drawn with: checked once, before any day is read.
struct CBatchPlan {
    std::string strSuffix; // "png", "svg" or "pdf"
    int nWidth = 0;
    int nHeight = 0;
    EPaper ePaper = EPaper::A4;
    std::optional<CAlarmLevels> alarms; // the settings' levels, read once for every thread
};

bool IsFolderTarget(const std::string& strOut) {
    std::error_code ec;
    return (!strOut.empty() && strOut.back() == '/') ||
           std::filesystem::is_directory(std::filesystem::path(strOut), ec);
}

// The file a day is drawn into: the day file's name with the batch's suffix.
std::string BatchTarget(const std::string& strFolder, const std::string& strDay,
                        const std::string& strSuffix) {
    const std::string strStem = std::filesystem::path(strDay).stem().string();
    return strFolder + (strFolder.back() == '/' ? "" : "/") + strStem + "." + strSuffix;
}

COutcome PlanBatch(const CCommandLine& cmd, CBatchPlan* pPlan) {
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::path(cmd.strOutput), ec)) {
        return COutcome::Fail("cannot write into " + cmd.strOutput +
                              ": no such folder (several days are drawn into a folder)");
    }
    pPlan->strSuffix = cmd.strFormat.empty() ? "png" : cmd.strFormat;
    if (pPlan->strSuffix == "pdf") {
        if (!cmd.strSize.empty()) {
            return COutcome::Fail("--size applies to png and svg; a pdf is one printed page");
        }
        pPlan->ePaper = DefaultPaperForLocale();
        if (!cmd.strPage.empty() && !ParsePaperName(cmd.strPage, &pPlan->ePaper)) {
            return COutcome::Fail("unknown paper size \"" + cmd.strPage + "\": use A4 or Letter");
        }
    } else {
        if (!cmd.strPage.empty()) {
            return COutcome::Fail("--page applies to pdf only");
        }
        if (COutcome size = ParseSizeArg(cmd.strSize, &pPlan->nWidth, &pPlan->nHeight);
            !size.Ok()) {
            return size;
        }
    }
    if (!cmd.bNoAlarms) {
        CViewOptions options;
        options.Load();
        pPlan->alarms = CAlarmLevels{options.m_dWarningLevel, options.m_dAlertLevel};
    }
    // Two days that would overwrite each other's drawing are a mistake, said before any is drawn.
    std::map<std::string, std::string> targets;
    for (const std::string& strDay : cmd.files) {
        const std::string strTarget = BatchTarget(cmd.strOutput, strDay, pPlan->strSuffix);
        const auto [it, bNew] = targets.emplace(strTarget, strDay);
        if (!bNew) {
            return COutcome::Fail("cannot draw both " + it->second + " and " + strDay + " into " +
                                  strTarget);
        }
    }
    return {};
}

// One day of a batch, on whichever thread, into the thread's own chart: each day replaces the one
// before, so the day's array and the chart's points are reused rather than made anew each time.
COutcome ExportBatchDay(const CCommandLine& batch, const CBatchPlan& plan, CLoadedChart& chart,
                        const std::string& strDay) {
    CCommandLine cmd = batch;
    cmd.strFile = strDay;
    cmd.strOutput = BatchTarget(batch.strOutput, strDay, plan.strSuffix);
    const CAlarmLevels* pAlarms = plan.alarms ? &*plan.alarms : nullptr;
    if (COutcome prepared = PrepareChart(cmd, chart, pAlarms); !prepared.Ok()) {
        return prepared;
    }
    if (plan.strSuffix == "pdf") {
        return ExportChartPage(chart.Strip(), cmd.strFile, cmd.strOutput, plan.ePaper);
    }
    return ExportChartImage(chart.State(), cmd.strOutput, plan.nWidth, plan.nHeight, cmd.strFile);
}

// Draws every day into the folder on every core; the failures are named in the days' order.
int ExportBatch(const CCommandLine& cmd, std::ostream& err) {
    CBatchPlan plan;
    if (COutcome planned = PlanBatch(cmd, &plan); !planned.Ok()) {
        return Fail(err, planned.Error());
    }
    std::vector<COutcome> outcomes(cmd.files.size());
    std::atomic<std::size_t> nNext{0};
    auto work = [&] {
        CLoadedChart chart;
        for (std::size_t i = nNext++; i < cmd.files.size(); i = nNext++) {
            outcomes[i] = ExportBatchDay(cmd, plan, chart, cmd.files[i]);
        }
    };
    // Printed pages go one after another on the program's own thread: the printer and its
    // platform plugin belong to it. Images are drawn on every core.
    const std::size_t nWorkers =
        plan.strSuffix == "pdf"
            ? 1
            : std::min<std::size_t>(std::max(1U, std::thread::hardware_concurrency()),
                                    cmd.files.size());
    std::vector<std::thread> workers;
    try {
        for (std::size_t i = 1; i < nWorkers; ++i) {
            workers.emplace_back(work);
        }
    } catch (const std::system_error&) {
        // Fewer threads: the others share the days.
    }
    work();
    for (std::thread& worker : workers) {
        worker.join();
    }
    int nResult = 0;
    for (const COutcome& outcome : outcomes) {
        if (!outcome.Ok()) {
            nResult = Fail(err, outcome.Error());
        }
    }
    return nResult;
}
} // namespace

int RunExportCommand(const CCommandLine& cmd, std::ostream& err) {
    // Several days, a folder to draw into, or a file type for the folder: a batch.
    if (cmd.files.size() > 1 || !cmd.strFormat.empty() || IsFolderTarget(cmd.strOutput)) {
        return ExportBatch(cmd, err);
    }
    const EExportKind eKind = ExportKindOf(cmd.strOutput);
    if (eKind == EExportKind::Pdf) {
        if (!cmd.strSize.empty()) {
            return Fail(err, "--size applies to .png and .svg; a .pdf is one printed page");
        }
        return ExportPage(cmd, err);
    }
    if (eKind == EExportKind::Unknown) {
        return Fail(err, "cannot export to \"" + cmd.strOutput +
                             "\": the name must end in .png, .svg or .pdf");
    }
    if (!cmd.strPage.empty()) {
        return Fail(err, "--page applies to .pdf only");
    }
    int nWidth = 0;
    int nHeight = 0;
    if (COutcome size = ParseSizeArg(cmd.strSize, &nWidth, &nHeight); !size.Ok()) {
        return Fail(err, size.Error());
    }
    CLoadedChart chart;
    if (COutcome prepared = PrepareChart(cmd, chart); !prepared.Ok()) {
        return Fail(err, prepared.Error());
    }
    const COutcome written =
        ExportChartImage(chart.State(), cmd.strOutput, nWidth, nHeight, cmd.strFile);
    return written.Ok() ? 0 : Fail(err, written.Error());
}
