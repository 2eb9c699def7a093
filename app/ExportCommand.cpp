#include "app/ExportCommand.h"

#include "app/CommandLine.h"
#include "chart/Chart.h"
#include "chart/ChartExport.h"
#include "chart/ChartFeed.h"
#include "chart/ChartSetup.h"
#include "chart/Strip.h"
#include "print/PageExport.h"

#include <QFileInfo>

#include <ostream>
#include <vector>

namespace {
bool EndsWithPdf(const std::string& strOut) {
    return QFileInfo(QString::fromStdString(strOut))
               .suffix()
               .compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

int Fail(std::ostream& err, const std::string& strMessage) {
    err << "quillon: " << strMessage << "\n";
    return 1;
}

// The chart as the main window sets it up, with the file's day handed over as a load does.
class CLoadedChart {
public:
    CLoadedChart() : m_samples(MAX_FIELD_SAMPLES) {
        m_strip.Attach(&m_chart);
        ApplyChartDisplaySettings(m_strip);
    }
    // False with a one-line message when the file cannot be opened.
    bool Load(const std::string& strPath, std::string* pstrError) {
        const CFieldRead day = LoadFieldFile(strPath, m_samples, m_strip);
        if (day.eOpen == EFieldOpen::NotRegular) {
            *pstrError = "Not a regular file: " + strPath;
        } else if (!day.Opened()) {
            *pstrError = "File not found: " + strPath;
        }
        return day.Opened();
    }
    [[nodiscard]] CStrip& Strip() { return m_strip; }
    [[nodiscard]] const CChartState& State() const { return m_chart.State(); }

private:
    std::vector<FieldSample> m_samples;
    CChart m_chart;
    CStrip m_strip;
};

int ExportPage(const CCommandLine& cmd, std::ostream& err) {
    EPaper ePaper = DefaultPaperForLocale();
    if (!cmd.strPage.empty() && !ParsePaperName(cmd.strPage, &ePaper)) {
        return Fail(err, "unknown paper size \"" + cmd.strPage + "\": use A4 or Letter");
    }
    // Printed as File > Print prints it, with the data file's path as the caption.
    CLoadedChart chart;
    std::string strError;
    if (!chart.Load(cmd.strFile, &strError) ||
        !ExportChartPage(chart.Strip(), cmd.strFile, cmd.strOutput, ePaper, &strError)) {
        return Fail(err, strError);
    }
    return 0;
}
} // namespace

int RunExportCommand(const CCommandLine& cmd, std::ostream& err) {
    if (EndsWithPdf(cmd.strOutput)) {
        if (!cmd.strSize.empty()) {
            return Fail(err, "--size applies to .png and .svg; a .pdf is one printed page");
        }
        return ExportPage(cmd, err);
    }
    if (!IsChartImagePath(cmd.strOutput)) {
        return Fail(err, "cannot export to \"" + cmd.strOutput +
                             "\": the name must end in .png, .svg or .pdf");
    }
    if (!cmd.strPage.empty()) {
        return Fail(err, "--page applies to .pdf only");
    }
    int nWidth = 0;
    int nHeight = 0;
    std::string strError;
    if (!ParseSizeArg(cmd.strSize, &nWidth, &nHeight, &strError) ||
        !CheckImageTarget(cmd.strOutput, &strError)) {
        return Fail(err, strError);
    }
    CLoadedChart chart;
    if (!chart.Load(cmd.strFile, &strError) ||
        !ExportChartImage(chart.State(), cmd.strOutput, nWidth, nHeight, cmd.strFile, &strError)) {
        return Fail(err, strError);
    }
    return 0;
}
