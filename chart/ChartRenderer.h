#pragma once
// CChartRenderer: the one drawing path of the strip chart. The window's paint, method 140 on a
// printer's device context and image export all end in Draw, so the screen, the page and the
// files show the same chart.
//
// Draw reads a CChartState, lets the geometry, tick and trace helpers place everything, and paints
// with 1-pixel cosmetic pens and one polyline per connected run, which keeps Qt on its fast path
// at screen and printer resolution alike. It keeps its buffers from one drawing to the next, so a
// redraw allocates nothing once the first has run.

#include "chart/ChartState.h"

#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

// Where a drawing goes. The window may add what only an interactive view shows (the cursor, alarm
// shading); a printed page and an exported file show the chart alone.
struct CChartStyle {
    bool bInteractive = false; // the window: the cursor shows
    bool bPaper = false;       // a printed page: alarm levels in black
};

class CChartRenderer {
public:
    CChartRenderer();

    // Draws the whole chart into rcTarget (painter coordinates), clipped to it.
    void Draw(QPainter& painter, const QRectF& rcTarget, const CChartState& state,
              const CChartStyle& style);

    // The chart's three fonts: "MS Serif" at 8.25 (axis labels), 9.75 (labels) and 12 points (the
    // caption), weight 400, with the platform's serif face where "MS Serif" is absent.
    [[nodiscard]] const QFont& AxisFont() const { return m_fontAxis; }
    [[nodiscard]] const QFont& LabelFont() const { return m_fontLabel; }
    [[nodiscard]] const QFont& CaptionFont() const { return m_fontCaption; }

private:
    // A text label as it will be drawn; axis labels keep clear of these boxes.
    struct CPlacedLabel {
        QRectF rcBox;
        double dAscent = 0.0;
        const QFont* pFont = nullptr;
        QString str;
        COLORREF crColour = 0;
    };

    void PlaceLabels(QPainter& painter, const CChartGeometry& geometry, const CChartState& state);
    void DrawAxes(QPainter& painter, const CChartGeometry& geometry, const CChartState& state);
    void DrawTrace(QPainter& painter, const CChartGeometry& geometry, const CChartState& state);
    void DrawLabels(QPainter& painter);

    CTraceBuilder m_trace;
    QPolygonF m_polyline; // reused for every run
    std::vector<CPlacedLabel> m_placed;
    QFont m_fontAxis;
    QFont m_fontLabel;
    QFont m_fontCaption;
};

// A chart colour (0x00BBGGRR) as Qt's colour.
[[nodiscard]] QColor QColorOf(COLORREF cr);
