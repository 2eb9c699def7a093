#pragma once
// CStripChart: the strip-chart component as a widget, thin over CChart.
//
// Calls arrive through Invoke (from a CStrip bound to it) and go to the chart; a call that changes
// what shows schedules a repaint and never paints at once, so a load runs undisturbed. paintEvent
// draws through the chart's one Draw.

#include "chart/Chart.h"

#include <QWidget>

class CStripChart : public QWidget, public IChartDispatch {
    Q_OBJECT

public:
    explicit CStripChart(QWidget* pParent = nullptr);

    HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) override;
    bool TakePoints(std::vector<CChartPoint>& points) override;

    // Draws the whole chart into rcTarget (painter coordinates) in the chart's current state.
    void Draw(QPainter& painter, const QRectF& rcTarget, const CChartStyle& style) {
        m_chart.Draw(painter, rcTarget, style);
    }

    [[nodiscard]] const CChartState& State() const { return m_chart.State(); }
    // For what the window changes itself (the view, the overlay); schedules a repaint.
    [[nodiscard]] CChartState& EditState() {
        update();
        return m_chart.Model().EditState();
    }
    [[nodiscard]] const CChartRenderer& Renderer() const { return m_chart.Renderer(); }

    // Where the plot area and the shown ranges lie in the widget, for mapping the pointer.
    [[nodiscard]] CChartGeometry Geometry() const;
    // Shows the cursor line at dTime, or hides it, repainting only the columns it left and entered.
    void SetCursor(bool bShow, double dTime);

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    CChart m_chart;
};
