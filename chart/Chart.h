#pragma once
// CChart: the strip-chart component without a window: its state behind the dispatch table
// (CChartModel) and its one drawing path (CChartRenderer). Method 140 resolves a device context
// and draws through the same Draw as everything else. The window (CStripChart) wraps one; image
// and page export use one on its own.

#include "chart/ChartModel.h"
#include "chart/ChartRenderer.h"

class CChart : public IChartDispatch, private IChartDeviceRenderer {
public:
    CChart() { m_model.SetDeviceRenderer(this); }
    ~CChart() override { m_model.SetDeviceRenderer(nullptr); }
    CChart(const CChart&) = delete;
    CChart& operator=(const CChart&) = delete;

    HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) override {
        return m_model.Invoke(dispid, wFlags, pArgs, nArgs);
    }
    bool TakePoints(std::vector<CChartPoint>& points) override {
        return m_model.TakePoints(points);
    }

    // Draws the whole chart into rcTarget (painter coordinates) in its current state.
    void Draw(QPainter& painter, const QRectF& rcTarget, const CChartStyle& style) {
        m_renderer.Draw(painter, rcTarget, m_model.State(), style);
    }

    [[nodiscard]] const CChartState& State() const { return m_model.State(); }
    [[nodiscard]] CChartModel& Model() { return m_model; }
    [[nodiscard]] const CChartRenderer& Renderer() const { return m_renderer; }

private:
    void DrawOnDevice(const CDeviceContextTarget& target, const CChartRect& rcDevice) override {
        Draw(*target.pPainter,
             QRectF(QPointF(rcDevice.dLeft, rcDevice.dTop),
                    QPointF(rcDevice.dRight, rcDevice.dBottom)),
             CChartStyle{false, true}); // method 140 draws the printed page
    }

    CChartModel m_model;
    CChartRenderer m_renderer;
};
