#include "app/ExportCommand.h"

#include "app/CommandLine.h"
#include "data/FieldLoader.h"
#include "print/PageExport.h"
#include "ui/ChartExport.h"
#include "ui/ChartSetup.h"
#include "ui/Strip.h"
#include "ui/StripChart.h"

#include <QFileInfo>

#include <ostream>

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

int ExportPage(const CCommandLine& cmd, std::ostream& err) {
    EPaper ePaper = DefaultPaperForLocale();
    if (!cmd.strPage.empty() && !ParsePaperName(cmd.strPage, &ePaper)) {
        return Fail(err, "unknown paper size \"" + cmd.strPage + "\": use A4 or Letter");
    }
    // The chart as the main window sets it up, then printed as File > Print prints it, with the
    // data file's path as the caption.
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    ApplyChartDisplaySettings(strip);
    if (!LoadFieldFile(cmd.strFile, strip)) {
        return Fail(err, "File not found: " + cmd.strFile);
    }
    std::string strError;
    if (!ExportChartPage(strip, cmd.strFile, cmd.strOutput, ePaper, &strError)) {
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
        !ExportChartImage(cmd.strFile, cmd.strOutput, nWidth, nHeight, &strError)) {
        return Fail(err, strError);
    }
    return 0;
}
