#pragma once
// CChartRenderer: the one drawing path of the strip chart. The window's paint, method 140 on a
// printer's device context and image export all end in Draw, so the screen, the page and the
// files show the same chart.
//
// Draw reads a CChartState, lets the geometry, tick and trace helpers place everything, and paints
// with 1-pixel cosmetic pens and one polyline per connected run, which keeps Qt on its fast path
// at screen and printer resolution alike. It keeps its buffers from one drawing to the next, so a
// redraw allocates nothing once the first has run.
//
// Texts are placed before anything is painted: the axis labels first, then the text labels. The
// two axis titles take the place beside their axis nearest their anchor where they cover no axis
// label and not the plot frame (the value axis's title reads upward at the left); where the value
// labels leave the title no such place, the value lines are spaced wider so it passes between two
// of them. An axis label gives way to any other text label it would run into. The last placement
// stays readable (LastLayout); MinimumSize says from which size on the titles always find such a
// place.

#include "chart/ChartModel.h"
#include "chart/ChartState.h"
#include "chart/ChartStyle.h"

#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <vector>

class QPaintDevice;
class QPainter;

// The two text labels that title the axes: label 0 the value axis ("kV / m"), label 1 the time
// axis ("T i m e"). Their positions are anchors; the renderer sets them beside their axes.
constexpr int VALUE_TITLE_LABEL = 0;
constexpr int TIME_TITLE_LABEL = 1;

// A text as the last drawing placed it, in painter coordinates. rcBox is the text's line box
// (its advance by the font's ascent plus descent), turned with the text when it reads upward.
struct CPlacedText {
    QString str;
    QRectF rcBox;
    double dAscent = 0.0;
    const QFont* pFont = nullptr;
    COLORREF crColour = 0;
    int nLabel = -1;      // the text label's number; -1 for a tick label
    bool bUpward = false; // reads from bottom to top
};

// Everything with text in the last drawing, and the plot frame they keep clear of.
struct CChartLayout {
    QRectF rcPlot;
    std::vector<CPlacedText> ticks;  // the axis labels that were drawn, values first
    std::vector<CPlacedText> labels; // the text labels that were drawn
};

class CChartRenderer : public IChartDeviceRenderer {
public:
    CChartRenderer();

    // Method 140: the printed page's drawing, into a rectangle in device pixels.
    void DrawOnDevice(const CDeviceContextTarget& target, const CChartRect& rcDevice,
                      const CChartState& state) override;

    // Draws the whole chart into rcTarget (painter coordinates), clipped to it.
    void Draw(QPainter& painter, const QRectF& rcTarget, const CChartState& state,
              const CChartStyle& style);

    // Where the last Draw put its texts.
    [[nodiscard]] const CChartLayout& LastLayout() const { return m_layout; }

    // The smallest chart, in pDevice's pixels, in which every text stays whole and legible: the
    // axis titles clear of every axis label and of the plot frame, the value labels of the scale
    // shown (and never less room than a day within +-100 kV/m needs) inside the chart.
    [[nodiscard]] QSize MinimumSize(const CChartState& state, QPaintDevice* pDevice) const;

    // The chart's three fonts: "MS Serif" at 8.25 (axis labels), 9.75 (labels) and 12 points (the
    // caption), weight 400, with the platform's serif face where "MS Serif" is absent.
    [[nodiscard]] const QFont& AxisFont() const { return m_fontAxis; }
    [[nodiscard]] const QFont& LabelFont() const { return m_fontLabel; }
    [[nodiscard]] const QFont& CaptionFont() const { return m_fontCaption; }

private:
    // Places the axis labels; value lines at least dValueSpacing apart when that is above their
    // usual spacing.
    void PlaceTicks(QPainter& painter, const CChartGeometry& geometry, const CChartState& state,
                    double dValueSpacing);
    // Places the text labels; false when an axis title found no room.
    bool PlaceLabels(QPainter& painter, const CChartGeometry& geometry, const CChartState& state);
    // The spacing of value lines that lets the value axis's title pass between their labels.
    [[nodiscard]] double ValueTitleSpacing(QPaintDevice* pDevice, const CChartState& state) const;
    void DrawAxes(QPainter& painter, const CChartGeometry& geometry, const CChartState& state);
    void DrawTrace(QPainter& painter, const CChartGeometry& geometry, const CChartState& state,
                   const QRectF& rcDirty);
    void DrawTexts(QPainter& painter, const std::vector<CPlacedText>& texts);
    // The printed page's one-line legend of the alarm levels.
    void DrawLegend(QPainter& painter, const CChartGeometry& geometry, const CChartState& state);

    CTraceBuilder m_trace;
    QPolygonF m_polyline; // reused for every run
    CValueTicks m_valueTicks;
    CTimeTicks m_timeTicks;
    CChartLayout m_layout;
    QFont m_fontAxis;
    QFont m_fontLabel;
    QFont m_fontCaption;
};
