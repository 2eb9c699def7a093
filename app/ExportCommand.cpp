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

#include <ostream>
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
    // What the command line asks beyond the chart as loaded: a span of the day, the alarm levels.
    void ApplyView(const CCommandLine& cmd) {
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
        if (!cmd.bNoAlarms) {
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
COutcome PrepareChart(const CCommandLine& cmd, CLoadedChart& chart) {
    if (COutcome target = CheckExportTarget(cmd.strOutput); !target.Ok()) {
        return target;
    }
    if (COutcome loaded = chart.Load(cmd.strFile); !loaded.Ok()) {
        return loaded;
    }
    chart.ApplyView(cmd);
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
} // namespace

int RunExportCommand(const CCommandLine& cmd, std::ostream& err) {
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
