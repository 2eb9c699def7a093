#pragma once
// CStripChart: the strip-chart component, a thin widget over CStripChartModel.
//
// Calls arrive through Invoke (bound to g_Chart or any CStrip) and go to the model; a call that
// changes what shows schedules a repaint and never paints at once, so a load runs undisturbed.
// Draw is the one drawing path: the screen's paintEvent, method 140 on a device context and image
// export all come through it. It reads the model, lets the geometry, tick and trace helpers place
// everything, and paints with 1-pixel cosmetic pens and one polyline per connected run, which
// keeps Qt on its fast path at screen and printer resolution alike.

#include "ui/ChartModel.h"

#include <QFont>
#include <QPolygonF>
#include <QWidget>

#include <vector>

class QPainter;

class CStripChart : public QWidget, public IChartDispatch, private IChartDeviceRenderer {
    Q_OBJECT

public:
    explicit CStripChart(QWidget* pParent = nullptr);
    ~CStripChart() override;
    CStripChart(const CStripChart&) = delete;
    CStripChart& operator=(const CStripChart&) = delete;

    HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) override;

    // Draws the whole chart into rcTarget (painter coordinates) in the chart's current state.
    void Draw(QPainter& painter, const QRectF& rcTarget);

    [[nodiscard]] const CStripChartModel& Model() const { return m_model; }

    // The chart's three fonts: "MS Serif" at 8.25 (axis labels), 9.75 (labels) and 12 points (the
    // caption), weight 400, with the platform's serif face where "MS Serif" is absent.
    [[nodiscard]] const QFont& AxisFont() const { return m_fontAxis; }
    [[nodiscard]] const QFont& LabelFont() const { return m_fontLabel; }
    [[nodiscard]] const QFont& CaptionFont() const { return m_fontCaption; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void DrawOnDevice(const CDeviceContextTarget& target, const CChartRect& rcDevice) override;
    void DrawAxes(QPainter& painter, const CChartGeometry& geometry);
    void DrawTrace(QPainter& painter, const CChartGeometry& geometry);
    void PlaceLabels(QPainter& painter, const CChartGeometry& geometry);
    void DrawLabels(QPainter& painter);

    // A text label as it will be drawn; axis labels keep clear of these boxes.
    struct CPlacedLabel {
        QRectF rcBox;
        double dAscent = 0.0;
        const QFont* pFont = nullptr;
        QString str;
        COLORREF crColour = 0;
    };

    CStripChartModel m_model;
    CTraceBuilder m_trace;
    QPolygonF m_polyline; // reused for every run
    std::vector<CPlacedLabel> m_placed;
    QFont m_fontAxis;
    QFont m_fontLabel;
    QFont m_fontCaption;
};
