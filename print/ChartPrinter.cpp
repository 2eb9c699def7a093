#include "print/ChartPrinter.h"

#include "platform/PrinterDC.h"
#include "print/PrintLayout.h"
#include "ui/ChartSetup.h"
#include "ui/Strip.h"

namespace {
constexpr SHORT LABELS_WITH_CAPTION = 3;
constexpr SHORT LABELS_ON_SCREEN = 2;
constexpr SHORT CAPTION_LABEL = 2;
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
    m_chart.SetPropertyI2(ChartId::LABEL_COUNT, LABELS_WITH_CAPTION);
    m_chart.SetPropertyI2(ChartId::LABEL_SELECT, CAPTION_LABEL);
    m_chart.SetPropertyR8(ChartId::LABEL_X, 0.5);
    m_chart.SetPropertyR8(ChartId::LABEL_Y, 0.0);
    m_chart.SetPropertyI4(ChartId::LABEL_COLOUR, 0x000000);
    m_chart.SetPropertyBstr(DISPID_CAPTION, m_strCaption);

    const CPrintPlacement placement =
        ComputePrintPlacement(dc.GetDeviceCaps(HORZSIZE), dc.GetDeviceCaps(VERTSIZE));
    m_chart.InvokeMethod140(dc.GetSafeHdc(), placement.dLeft, placement.dTop, placement.dWidth,
                            placement.dHeight);

    m_chart.SetPropertyI2(ChartId::LABEL_COUNT, LABELS_ON_SCREEN);
    SetChartColours(m_chart, SCREEN_TRACE, SCREEN_BACK, SCREEN_AXES, SCREEN_LABELS);
}

void CChartPrinter::OnEndPrinting(CPrinterDC& /*dc*/, CPrintInfo& /*info*/) {}
