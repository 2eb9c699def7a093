#include "print/ChartPrinter.h"

#include "chart/ChartSetup.h"
#include "chart/ChartState.h"
#include "chart/Strip.h"
#include "platform/PrinterDC.h"
#include "print/PrintLayout.h"

namespace {
constexpr SHORT LABELS_WITH_CAPTION = 3;
constexpr SHORT LABELS_ON_SCREEN = 2;
} // namespace

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

    m_chart.SetPropertyI2(ChartId::LabelCount, LABELS_ON_SCREEN);
    SetChartColours(m_chart, SCREEN_TRACE, SCREEN_BACK, SCREEN_AXES, SCREEN_LABELS);
}

void CChartPrinter::OnEndPrinting(CPrinterDC& /*dc*/, CPrintInfo& /*info*/) {}
