#include "ui/ViewExport.h"

#include "chart/ChartExport.h"
#include "chart/StripChart.h"
#include "data/FieldWriter.h"
#include "doc/DayDocument.h"
#include "platform/FileDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {
constexpr char EXPORT_FILTER[] = "PNG image (*.png)\0*.png\0"
                                 "SVG drawing (*.svg)\0*.svg\0"
                                 "PDF, the printed page (*.pdf)\0*.pdf\0"
                                 "Readings in view, as the logger writes them (*.vks)\0*.vks\0"
                                 "Readings in view, as a time,value table (*.csv)\0*.csv\0";
constexpr const char* EXPORT_TITLE = "Export the View";

std::string Suffix(const std::string& strPath) {
    const std::string strName = std::filesystem::path(strPath).filename().string();
    const std::size_t nDot = strName.rfind('.');
    if (nDot == std::string::npos) {
        return {};
    }
    std::string str = strName.substr(nDot + 1);
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return str;
}

// The chart's size on screen: what the user sees is what the image holds.
QSize ScreenSize(const CStripChart& chart) {
    return chart.size()
        .expandedTo(QSize(MIN_EXPORT_SIDE, MIN_EXPORT_SIDE))
        .boundedTo(QSize(MAX_EXPORT_SIDE, MAX_EXPORT_SIDE));
}
} // namespace

EViewExport ViewExportKindOf(const std::string& strPath) {
    switch (ExportKindOf(strPath)) {
    case EExportKind::Png:
        return EViewExport::Png;
    case EExportKind::Svg:
        return EViewExport::Svg;
    case EExportKind::Pdf:
        return EViewExport::Pdf;
    case EExportKind::Unknown:
        break;
    }
    const std::string strSuffix = Suffix(strPath);
    if (strSuffix == "vks") {
        return EViewExport::LoggerLines;
    }
    if (strSuffix == "csv") {
        return EViewExport::Table;
    }
    return EViewExport::Unknown;
}

std::optional<std::string> ChooseExportFile(const std::string& strDayPath) {
    const std::filesystem::path day(strDayPath);
    const std::string strName = day.stem().string() + ".png";
    CFileDialog dlg(FALSE, "png", strName.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    EXPORT_FILTER, nullptr);
    dlg.m_ofn.lpstrTitle = EXPORT_TITLE;
    // The text must stay valid until the dialog has closed.
    const std::string strFolder = day.parent_path().string();
    dlg.m_ofn.lpstrInitialDir = strFolder.empty() ? nullptr : strFolder.c_str();
    if (dlg.DoModal() != IDOK) {
        return std::nullopt;
    }
    return dlg.GetPathName();
}

COutcome ExportView(const CViewExportSource& source, const std::string& strPath) {
    std::error_code ec;
    if (std::filesystem::equivalent(strPath, source.day.Path(), ec)) {
        return COutcome::Fail("cannot export to " + strPath + ": it is the day in view");
    }
    const CChartState& state = source.chart.State();
    const QSize size = ScreenSize(source.chart);
    switch (ViewExportKindOf(strPath)) {
    case EViewExport::Png:
    case EViewExport::Svg:
        return ExportChartImage(state, strPath, size.width(), size.height(), source.day.Path());
    case EViewExport::Pdf:
        if (COutcome target = CheckExportTarget(strPath); !target.Ok()) {
            return target;
        }
        return ExportChartPage(source.strip, source.day.Path(), strPath, DefaultPaperForLocale(),
                               source.eOrientation);
    case EViewExport::LoggerLines:
    case EViewExport::Table: {
        if (COutcome target = CheckExportTarget(strPath); !target.Ok()) {
            return target;
        }
        const CChartRange shown = state.ShownTime();
        const CFieldTextSpan span{FieldDayStart(), shown.dLower, shown.dUpper};
        // The logger's own format stays the field as logged, so that it reads back the same.
        EFieldText eText = EFieldText::LoggerLines;
        if (ViewExportKindOf(strPath) == EViewExport::Table) {
            eText = state.unit.bPotentialGradient ? EFieldText::GradientTable : EFieldText::Table;
        }
        return WriteReadings(strPath, source.day.Records(), span, eText, source.day.Date());
    }
    case EViewExport::Unknown:
        break;
    }
    return COutcome::Fail("cannot export to " + strPath +
                          ": the name must end in .png, .svg, .pdf, .vks or .csv");
}

COutcome CopyChartImage(const CStripChart& chart) {
    const QSize size = ScreenSize(chart);
    const QImage image = RenderChartImage(chart.State(), size.width(), size.height());
    if (image.isNull()) {
        return COutcome::Fail("not enough memory to copy the chart");
    }
    QApplication::clipboard()->setImage(image);
    return {};
}
