#include "chart/StripChart.h"

#include <QPainter>

#include <cmath>

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

bool CStripChart::TakePoints(std::vector<CChartPoint>& points) {
    if (!m_chart.TakePoints(points)) {
        return false;
    }
    update();
    return true;
}

void CStripChart::paintEvent(QPaintEvent* /*pEvent*/) {
    QPainter painter(this);
    Draw(painter, QRectF(rect()), CChartStyle{true});
}

CChartGeometry CStripChart::Geometry() const {
    const CChartState& state = m_chart.State();
    const QRectF rc(rect());
    return CChartGeometry({rc.left(), rc.top(), rc.right(), rc.bottom()}, state.plot,
                          state.ShownTime(), state.ShownValue());
}

void CStripChart::SetCursor(bool bShow, double dTime) {
    const CChartOverlay before = m_chart.State().overlay;
    if (before.bCursor == bShow && (!bShow || before.dCursorTime == dTime)) {
        return;
    }
    CChartOverlay& overlay = m_chart.Model().EditState().overlay;
    overlay.bCursor = bShow;
    overlay.dCursorTime = dTime;
    const CChartGeometry geometry = Geometry();
    const CChartRect& rcPlot = geometry.Plot();
    auto repaintColumn = [&](double dAt) {
        const int nX = static_cast<int>(std::lround(geometry.TimeMap().Map(dAt)));
        update(QRect(nX - 1, static_cast<int>(rcPlot.dTop) - 1, 3,
                     static_cast<int>(rcPlot.Height()) + 3));
    };
    if (before.bCursor) {
        repaintColumn(before.dCursorTime);
    }
    if (bShow) {
        repaintColumn(dTime);
    }
}
