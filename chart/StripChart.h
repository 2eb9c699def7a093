#pragma once
// CStripChart: the strip-chart component as a widget: its state (CChartModel) and its one drawing
// path (CChartRenderer), with nothing between.
//
// Calls arrive through the door (from a CStrip bound to it, or typed from the window) and go to
// the model; a call that changes what shows schedules a repaint and never paints at once, so a
// load runs undisturbed. paintEvent draws the model's state through the renderer; method 140 draws
// through the same renderer on a device context.

#include "chart/ChartModel.h"
#include "chart/ChartRenderer.h"

#include <QWidget>

// How much larger the screen draws the chart's text in a window of szWindow, so that a chart on a
// large screen reads from across a room: 1 below 1600 x 1000; from there on as many times as the
// window is larger than 1280 x 800, at most 2. The page and the exported files never scale.
[[nodiscard]] double ScreenTextScale(const QSize& szWindow);

class CStripChart : public QWidget, public IChartDispatch {
    Q_OBJECT

public:
    explicit CStripChart(QWidget* pParent = nullptr);
    ~CStripChart() override;

    HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) override;
    void SetView(const CChartView& view) override;
    void SetAlarmLevels(const CAlarmLevels& alarms) override;
    // Repaints only the columns the cursor left and entered.
    void SetCursor(bool bShow, double dTime) override;
    void SetFlashMarks(std::span<const double> times) override;
    void SetFieldUnit(const CFieldUnit& unit) override;
    void ReplacePointsFrom(std::size_t nFirst, std::span<const FieldSample> records) override;
    [[nodiscard]] const CChartState& State() const override { return m_model.State(); }

    // Draws the whole chart into rcTarget (painter coordinates) in the chart's current state.
    void Draw(QPainter& painter, const QRectF& rcTarget, const CChartStyle& style) {
        m_renderer.Draw(painter, rcTarget, m_model.State(), style);
    }
    [[nodiscard]] const CChartRenderer& Renderer() const { return m_renderer; }
    // Where the plot area and the shown ranges lie in the widget, for mapping the pointer.
    [[nodiscard]] CChartGeometry Geometry() const;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    CChartModel m_model;
    CChartRenderer m_renderer;
};
