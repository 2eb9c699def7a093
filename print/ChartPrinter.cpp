#include "print/ChartPrinter.h"

#include "chart/ChartSetup.h"
#include "chart/ChartState.h"
#include "chart/ChartTimeFormat.h"
#include "chart/Strip.h"
#include "data/FileDate.h"
#include "platform/PrinterDC.h"
#include "print/PrintLayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

namespace {
constexpr SHORT LABELS_WITH_CAPTION = 3;
constexpr SHORT LABELS_ON_SCREEN = 2;
constexpr double NOTE_POINTS = 9.75;     // as the chart's labels
constexpr double NOTE_GAP_INCHES = 0.05; // between the last note and the chart
} // namespace

std::vector<std::string> PageNoteLines(const std::string& strPath, const CChartState& state) {
    const std::optional<CFileDate> date = FileDateOf(strPath);
    const CChartRange shown = state.ShownTime();
    return {(date ? date->Text() : std::string(NO_FILE_DATE)) + ", " +
            FormatChartTime(shown.dLower, "%H:%M:%S") + " to " +
            FormatChartTime(shown.dUpper, "%H:%M:%S", true)};
}

CChartPrinter::CChartPrinter(CStrip& chart, std::string strCaption)
    : m_chart(chart), m_strCaption(std::move(strCaption)) {}

bool CChartPrinter::PrintOnDC(std::unique_ptr<CPrinterDC> pDC) {
    if (!pDC) {
        return false;
    }
    CPrinterDC& dc = *pDC;
    dc.SetPrinting(true);

    DOCINFOA docInfo{};
    docInfo.cbSize = sizeof(DOCINFOA);
    docInfo.lpszDocName = PRINT_JOB_NAME;
    bool bInOrder = dc.StartDoc(&docInfo) > 0;

    CPrintInfo info;
    OnBeginPrinting(dc, info);
    for (UINT nPage = info.GetMinPage(); nPage <= info.GetMaxPage() && bInOrder; ++nPage) {
        dc.StartPage();
        info.m_nCurPage = nPage;
        OnPrint(dc, info);
        bInOrder = dc.EndPage() > 0;
    }
    OnEndPrinting(dc, info);

    if (bInOrder) {
        dc.EndDoc();
    } else {
        dc.AbortDoc();
    }
    pDC.reset();
    return bInOrder;
}

void CChartPrinter::OnBeginPrinting(CPrinterDC& /*dc*/, CPrintInfo& info) {
    info.SetMaxPage(1);
}

void CChartPrinter::OnPrint(CPrinterDC& dc, CPrintInfo& /*info*/) {
    SetChartColours(m_chart, PRINT_TRACE, PRINT_BACK, PRINT_AXES, PRINT_LABELS);

    // Label 2: the file's path in black at the top centre.
    m_chart.SetPropertyI2(ChartId::LabelCount, LABELS_WITH_CAPTION);
    m_chart.SetPropertyI2(ChartId::LabelSelect, CAPTION_LABEL);
    m_chart.SetPropertyR8(ChartId::LabelX, 0.5);
    m_chart.SetPropertyR8(ChartId::LabelY, 0.0);
    m_chart.SetPropertyI4(ChartId::LabelColour, static_cast<LONG>(PRINT_CAPTION));
    m_chart.SetPropertyBstr(ChartId::StockCaption, m_strCaption);

    const CPrintPlacement placement =
        ComputePrintPlacement(dc.GetDeviceCaps(HORZSIZE), dc.GetDeviceCaps(VERTSIZE));
    m_chart.DrawToDC(dc.GetSafeHdc(), placement.dLeft, placement.dTop, placement.dWidth,
                     placement.dHeight);
    DrawNotes(dc, placement);

    m_chart.SetPropertyI2(ChartId::LabelCount, LABELS_ON_SCREEN);
    SetChartColours(m_chart, SCREEN_TRACE, SCREEN_BACK, SCREEN_AXES, SCREEN_LABELS);
}

void CChartPrinter::DrawNotes(CPrinterDC& dc, const CPrintPlacement& placement) const {
    CDeviceContextTarget target;
    if (!ResolveDeviceContext(dc.GetSafeHdc(), &target) || target.pPainter == nullptr) {
        return;
    }
    QPainter& painter = *target.pPainter;
    painter.save();
    QFont font;
    font.setStyleHint(QFont::Serif);
    font.setFamily(font.defaultFamily());
    font.setPointSizeF(NOTE_POINTS);
    // No ligatures: "file" stays four letters for whoever searches or reads out the page.
    font.setStyleStrategy(QFont::PreferNoShaping);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, painter.device());
    // Centred over the chart as its caption is, the last line just above the chart's top.
    const double dCentre = (placement.dLeft + placement.dWidth / 2) * target.dDpiX;
    double dBaseline = (placement.dTop - NOTE_GAP_INCHES) * target.dDpiY - metrics.descent();
    const std::vector<std::string> lines = PageNoteLines(m_strCaption, m_chart.State());
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const QString str = QString::fromStdString(*it);
        painter.drawText(QPointF(dCentre - metrics.horizontalAdvance(str) / 2, dBaseline), str);
        dBaseline -= metrics.lineSpacing();
    }
    painter.restore();
}

void CChartPrinter::OnEndPrinting(CPrinterDC& /*dc*/, CPrintInfo& /*info*/) {}
