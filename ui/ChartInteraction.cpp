#include "ui/ChartInteraction.h"

#include "chart/ChartView.h"
#include "chart/StripChart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

#include <cmath>

namespace {
constexpr double WHEEL_STEP_FACTOR = 0.8; // one notch of the wheel
constexpr double KEY_ZOOM_FACTOR = 0.5;
constexpr double KEY_PAN_FRACTION = 0.1;
constexpr int DRAG_THRESHOLD = 3; // pixels before a press becomes a drag
} // namespace

CChartInteraction::CChartInteraction(CStripChart* pChart, ActionFn onAction)
    : QObject(pChart), m_pChart(pChart), m_onAction(std::move(onAction)) {
    pChart->setMouseTracking(true);
    pChart->setFocusPolicy(Qt::StrongFocus);
    pChart->installEventFilter(this);
}

CChartRange CChartInteraction::DayOf(const CChartState& state) {
    return NormaliseRange(state.time, DEFAULT_TIME_RANGE);
}

bool CChartInteraction::InPlot(const QPoint& pt) const {
    const CChartRect rc = m_pChart->Geometry().Plot();
    return pt.x() >= rc.dLeft && pt.x() <= rc.dRight && pt.y() >= rc.dTop && pt.y() <= rc.dBottom;
}

double CChartInteraction::TimeAt(double dX) const {
    return m_pChart->Geometry().TimeMap().Invert(dX);
}

void CChartInteraction::AimCursor(const QPoint& pt) {
    // The cursor is the time under the pointer; after a drag or a double-click the view has
    // moved under it.
    m_pChart->SetCursor(InPlot(pt), TimeAt(pt.x()));
    m_onAction(EChartAction::CursorMoved);
}

void CChartInteraction::SetView(const CChartRange& view) {
    const CChartState& state = m_pChart->State();
    const CChartRange day = DayOf(state);
    const bool bWhole = view.dLower <= day.dLower && view.dUpper >= day.dUpper;
    CChartView target = state.view;
    target.bTimeSet = !bWhole;
    target.time = bWhole ? day : view;
    m_pChart->SetView(target);
    m_onAction(EChartAction::ViewChanged);
}

void CChartInteraction::Zoom(double dFactor, double dAnchor) {
    const CChartState& state = m_pChart->State();
    SetView(ZoomAround(state.ShownTime(), DayOf(state), dAnchor, dFactor));
}

void CChartInteraction::Pan(double dFraction) {
    const CChartState& state = m_pChart->State();
    const CChartRange shown = state.ShownTime();
    SetView(PanBy(shown, DayOf(state), dFraction * shown.Span()));
}

void CChartInteraction::ShowWholeDay() {
    SetView(DayOf(m_pChart->State()));
}

void CChartInteraction::StepCursor(int nStep) {
    const CChartState& state = m_pChart->State();
    if (state.points.empty()) {
        return;
    }
    const CPointIndex index(state.points, state.bPointsOrdered);
    const CChartOverlay& overlay = state.overlay;
    const double dFrom = overlay.bCursor ? overlay.dCursorTime : state.ShownTime().dLower;
    const CReadout here = ReadoutAt(index, dFrom, 0.0, 1.0);
    const std::size_t nNext = NeighbourReading(index, here.nIndex, nStep);
    const double dTime = state.points[nNext].dTime;
    // Keep the cursor in view: the view moves with it past either edge.
    const CChartRange shown = state.ShownTime();
    if (dTime < shown.dLower || dTime > shown.dUpper) {
        SetView(PanBy(shown, DayOf(state),
                      dTime < shown.dLower ? dTime - shown.dLower : dTime - shown.dUpper));
    }
    m_pChart->SetCursor(true, dTime);
    m_onAction(EChartAction::CursorStepped);
}

bool CChartInteraction::OnKey(int nKey, Qt::KeyboardModifiers modifiers) {
    const CChartRange shown = m_pChart->State().ShownTime();
    const double dCentre = (shown.dLower + shown.dUpper) / 2;
    const bool bCtrl = (modifiers & Qt::ControlModifier) != 0;
    switch (nKey) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        Zoom(KEY_ZOOM_FACTOR, dCentre);
        return true;
    case Qt::Key_Minus:
        Zoom(1.0 / KEY_ZOOM_FACTOR, dCentre);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (bCtrl) {
            StepCursor(nKey == Qt::Key_Left ? -1 : +1);
        } else {
            Pan(nKey == Qt::Key_Left ? -KEY_PAN_FRACTION : KEY_PAN_FRACTION);
        }
        return true;
    case Qt::Key_Home:
        ShowWholeDay();
        return true;
    case Qt::Key_End:
        m_onAction(EChartAction::FollowRequested);
        return true;
    default:
        return false;
    }
}

bool CChartInteraction::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched != m_pChart) {
        return false;
    }
    switch (pEvent->type()) {
    case QEvent::Wheel: {
        auto* pWheel = static_cast<QWheelEvent*>(pEvent);
        const double dNotches = pWheel->angleDelta().y() / 120.0;
        if (dNotches != 0.0) {
            Zoom(std::pow(WHEEL_STEP_FACTOR, dNotches), TimeAt(pWheel->position().x()));
        }
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (pMouse->button() != Qt::LeftButton || !InPlot(pMouse->pos())) {
            return false;
        }
        m_bDragging = true;
        m_bZoomBand = (pMouse->modifiers() & Qt::ShiftModifier) != 0;
        m_ptPressed = pMouse->pos();
        m_dPressedLower = m_pChart->State().ShownTime().dLower;
        return true;
    }
    case QEvent::MouseMove: {
        auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        const QPoint pt = pMouse->pos();
        if (m_bDragging && (pt - m_ptPressed).manhattanLength() >= DRAG_THRESHOLD) {
            const CChartRect rcPlot = m_pChart->Geometry().Plot();
            if (m_bZoomBand) {
                if (m_pBand == nullptr) {
                    m_pBand = new QRubberBand(QRubberBand::Rectangle, m_pChart);
                }
                m_pBand->setGeometry(QRect(
                    QPoint(std::min(pt.x(), m_ptPressed.x()), static_cast<int>(rcPlot.dTop)),
                    QPoint(std::max(pt.x(), m_ptPressed.x()), static_cast<int>(rcPlot.dBottom))));
                m_pBand->show();
            } else {
                const CChartState& state = m_pChart->State();
                const double dSpan = state.ShownTime().Span();
                const double dLower =
                    m_dPressedLower - (pt.x() - m_ptPressed.x()) * dSpan / rcPlot.Width();
                SetView(PanBy({dLower, dLower + dSpan}, DayOf(state), 0.0));
            }
            return true;
        }
        AimCursor(pt);
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (!m_bDragging || pMouse->button() != Qt::LeftButton) {
            return false;
        }
        m_bDragging = false;
        if (m_bZoomBand && m_pBand != nullptr && m_pBand->isVisible()) {
            m_pBand->hide();
            SetView(ZoomTo(DayOf(m_pChart->State()), TimeAt(m_ptPressed.x()),
                           TimeAt(pMouse->pos().x())));
            m_onAction(EChartAction::SpanChosen);
        }
        AimCursor(pMouse->pos());
        return true;
    }
    case QEvent::MouseButtonDblClick:
        ShowWholeDay();
        AimCursor(static_cast<QMouseEvent*>(pEvent)->pos());
        return true;
    case QEvent::Leave:
        m_pChart->SetCursor(false, 0.0);
        m_onAction(EChartAction::CursorMoved);
        return false;
    case QEvent::KeyPress: {
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        return OnKey(pKey->key(), pKey->modifiers());
    }
    default:
        return false;
    }
}
