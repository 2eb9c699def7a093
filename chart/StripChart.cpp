#include "chart/StripChart.h"

#include <QPainter>

CStripChart::CStripChart(QWidget* pParent) : QWidget(pParent) {
    // Draw fills every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

HRESULT CStripChart::Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) {
    const auto nBefore = m_chart.Model().Revision();
    const HRESULT hr = m_chart.Invoke(dispid, wFlags, pArgs, nArgs);
    if (m_chart.Model().Revision() != nBefore) {
        update(); // painted with the next event loop pass, never inside a load
    }
    return hr;
}

void CStripChart::paintEvent(QPaintEvent* /*pEvent*/) {
    QPainter painter(this);
    Draw(painter, QRectF(rect()), CChartStyle{true});
}
