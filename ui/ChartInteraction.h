#pragma once
// CChartInteraction: what the mouse and the keys do to the chart in the window. It watches the
// chart widget's events and changes the chart's view (zoom, pan, the whole day) and cursor through
// the view arithmetic of chart/ChartView.h, then tells the window what changed so that it can fit
// the value scale and update its status line.
//
//   wheel                 zoom around the time under the pointer
//   drag                  pan;  Shift+drag: zoom to the span dragged
//   double-click, Home    the whole day;  End: follow the newest reading
//   + and -               zoom around the centre;  Left and Right: pan by a tenth of the span
//   pointer over the plot the cursor;  Ctrl+Left and Ctrl+Right: the cursor reading by reading

#include "chart/ChartState.h"

#include <QObject>
#include <QPoint>

#include <functional>

class CStripChart;
class QRubberBand;

enum class EChartAction {
    ViewChanged,
    CursorMoved,
    FollowRequested,
    SpanChosen,    // a Shift+drag chose the span now in view (after its ViewChanged)
    CursorStepped, // the keys moved the cursor to another reading
};

class CChartInteraction : public QObject {
public:
    using ActionFn = std::function<void(EChartAction)>;

    CChartInteraction(CStripChart* pChart, ActionFn onAction);

    // The time span of the whole day: the data's range, or the day the readings lie on.
    [[nodiscard]] static CChartRange DayOf(const CChartState& state);
    // Zooms by dFactor (below 1 zooms in) around dAnchor; the rest of the window's zoom commands.
    void Zoom(double dFactor, double dAnchor);
    void Pan(double dFraction);
    void ShowWholeDay();
    // Moves the cursor to the neighbouring reading (nStep -1 or +1).
    void StepCursor(int nStep);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    [[nodiscard]] bool InPlot(const QPoint& pt) const;
    [[nodiscard]] double TimeAt(double dX) const;
    void SetView(const CChartRange& view);
    // Puts the cursor at the time under pt, or hides it outside the plot.
    void AimCursor(const QPoint& pt);
    bool OnKey(int nKey, Qt::KeyboardModifiers modifiers);

    CStripChart* m_pChart;
    ActionFn m_onAction;
    QRubberBand* m_pBand = nullptr;
    bool m_bDragging = false;
    bool m_bZoomBand = false;
    QPoint m_ptPressed;
    double m_dPressedLower = 0.0; // the view's lower bound when the drag began
};
