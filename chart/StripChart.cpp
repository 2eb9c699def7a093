#include "chart/StripChart.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int LARGE_WINDOW_WIDTH = 1600;
constexpr int LARGE_WINDOW_HEIGHT = 1000;
constexpr double TEXT_BASE_WIDTH = 1280.0;
constexpr double TEXT_BASE_HEIGHT = 800.0;
constexpr double MAX_TEXT_SCALE = 2.0;
} // namespace

CStripChart::CStripChart(QWidget* pParent) : QWidget(pParent) {
    // Draw fills every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_model.SetDeviceRenderer(&m_renderer);
}

CStripChart::~CStripChart() {
    m_model.SetDeviceRenderer(nullptr);
}

HRESULT CStripChart::Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) {
    const auto nBefore = m_model.Revision();
    const HRESULT hr = m_model.Invoke(dispid, wFlags, pArgs, nArgs);
    if (m_model.Revision() != nBefore) {
        update(); // painted with the next event loop pass, never inside a load
    }
    return hr;
}

void CStripChart::SetView(const CChartView& view) {
    m_model.SetView(view);
    update();
}

void CStripChart::SetAlarmLevels(const CAlarmLevels& alarms) {
    m_model.SetAlarmLevels(alarms);
    update();
}

void CStripChart::SetFlashMarks(std::span<const double> times) {
    m_model.SetFlashMarks(times);
    update();
}

void CStripChart::SetFieldUnit(const CFieldUnit& unit) {
    m_model.SetFieldUnit(unit);
    updateGeometry(); // the value labels' width may change
    update();
}

void CStripChart::ReplacePointsFrom(std::size_t nFirst, std::span<const FieldSample> records) {
    const std::vector<CChartPoint>& points = m_model.State().points;
    // The columns that change: from the reading before the first replaced one to the last
    // reading, before and after. Readings that go back in time change who knows what.
    double dFrom = nFirst > 0 && nFirst <= points.size() ? points[nFirst - 1].dTime : -1.0;
    double dTo = points.empty() ? dFrom : points.back().dTime;
    const bool bForward = dFrom >= 0.0 && std::all_of(records.begin(), records.end(),
                                                      [dFrom](const FieldSample& sample) {
                                                          return sample.dTime >= dFrom;
                                                      });
    m_model.ReplacePointsFrom(nFirst, records);
    if (!bForward || points.empty()) {
        update();
        return;
    }
    dTo = std::max(dTo, points.back().dTime);
    const CChartGeometry geometry = Geometry();
    const CChartRect& rcPlot = geometry.Plot();
    const int nLeft = static_cast<int>(std::floor(geometry.TimeMap().Map(dFrom))) - 2;
    const int nRight = static_cast<int>(std::ceil(geometry.TimeMap().Map(dTo))) + 2;
    const QRect rcPlotArea(
        QPoint(static_cast<int>(rcPlot.dLeft), static_cast<int>(rcPlot.dTop)),
        QPoint(static_cast<int>(rcPlot.dRight), static_cast<int>(rcPlot.dBottom)));
    update(QRect(nLeft, rcPlotArea.top() - 1, nRight - nLeft + 1, rcPlotArea.height() + 3)
               .intersected(rect()));
}

double ScreenTextScale(const QSize& szWindow) {
    if (szWindow.width() < LARGE_WINDOW_WIDTH || szWindow.height() < LARGE_WINDOW_HEIGHT) {
        return 1.0;
    }
    return std::min(MAX_TEXT_SCALE, std::min(szWindow.width() / TEXT_BASE_WIDTH,
                                             szWindow.height() / TEXT_BASE_HEIGHT));
}

void CStripChart::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(this);
    // Drawn smaller and scaled up: the text grows, the plot keeps its place in the widget (the
    // fractions are the same), and the hairlines stay one pixel wide.
    const double dScale = ScreenTextScale(window()->size());
    if (dScale != 1.0) {
        painter.scale(dScale, dScale);
    }
    CChartStyle style{true};
    // Qt paints the union of what was asked; only a strip of the plot holds the whole trace.
    if (const QRect rcDirty = pEvent->rect(); rcDirty != rect()) {
        style.rcDirty = QRectF(rcDirty.x() / dScale, rcDirty.y() / dScale, rcDirty.width() / dScale,
                               rcDirty.height() / dScale);
    }
    m_renderer.Draw(painter, QRectF(0.0, 0.0, width() / dScale, height() / dScale), m_model.State(),
                    style);
}

CChartGeometry CStripChart::Geometry() const {
    const CChartState& state = m_model.State();
    const QRectF rc(rect());
    return CChartGeometry({rc.left(), rc.top(), rc.right(), rc.bottom()}, state.plot,
                          state.ShownTime(), state.ShownValue(), state.unit.Scale() < 0.0);
}

void CStripChart::SetCursor(bool bShow, double dTime) {
    const CChartOverlay before = m_model.State().overlay;
    if (before.bCursor == bShow && (!bShow || before.dCursorTime == dTime)) {
        return;
    }
    m_model.SetCursor(bShow, dTime);
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
