#include "chart/ChartRenderer.h"

#include "chart/ChartOverlay.h"
#include "chart/ChartView.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr double AXIS_POINTS = 8.25;
constexpr double LABEL_POINTS = 9.75;
constexpr double CAPTION_POINTS = 12.0;
// Room between the plot area and its axis labels, in label heights.
constexpr double AXIS_LABEL_GAP = 0.3;

// One-device-pixel pen: width 0 is Qt's cosmetic hairline, the fast path on every device.
QPen HairlinePen(COLORREF cr) {
    QPen pen(QColorOf(cr));
    pen.setWidth(0);
    pen.setCosmetic(true);
    return pen;
}

const QString& SerifFamily() {
    static const QString s_strFamily = [] {
        const QString strWanted = QStringLiteral("MS Serif");
        if (QFontDatabase::hasFamily(strWanted)) {
            return strWanted;
        }
        QFont font;
        font.setStyleHint(QFont::Serif);
        return font.defaultFamily();
    }();
    return s_strFamily;
}

QFont ChartFont(double dPoints) {
    QFont font(SerifFamily());
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(dPoints);
    font.setWeight(QFont::Normal);
    return font;
}
} // namespace

QColor QColorOf(COLORREF cr) {
    return QColor(static_cast<int>(cr & 0xFF), static_cast<int>((cr >> 8) & 0xFF),
                  static_cast<int>((cr >> 16) & 0xFF));
}

CChartRenderer::CChartRenderer()
    : m_fontAxis(ChartFont(AXIS_POINTS)), m_fontLabel(ChartFont(LABEL_POINTS)),
      m_fontCaption(ChartFont(CAPTION_POINTS)) {}

void CChartRenderer::Draw(QPainter& painter, const QRectF& rcTarget, const CChartState& state,
                          const CChartStyle& style) {
    if (!rcTarget.isValid()) {
        return;
    }
    painter.save();
    // Nothing outside the rectangle: method 140 may draw on part of a page.
    painter.setClipRect(rcTarget, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rcTarget, QColorOf(state.crBack));
    const CChartGeometry geometry(
        {rcTarget.left(), rcTarget.top(), rcTarget.right(), rcTarget.bottom()}, state.plot,
        state.ShownTime(), state.ShownValue());
    PlaceLabels(painter, geometry, state);
    DrawAxes(painter, geometry, state);
    DrawTrace(painter, geometry, state);
    DrawOverlay(painter, geometry, state, style);
    DrawLabels(painter);
    painter.restore();
}

void CChartRenderer::DrawAxes(QPainter& painter, const CChartGeometry& geometry,
                              const CChartState& state) {
    const CChartRect& rcPlot = geometry.Plot();
    const QFontMetricsF metrics(m_fontAxis, painter.device());
    const double dTextHeight = metrics.height();
    const CValueTicks valueTicks =
        ChooseValueTicks(geometry.ValueRange(), rcPlot.Height(), dTextHeight);
    const CTimeTicks timeTicks = ChooseTimeTicks(
        geometry.TimeRange(), rcPlot.Width(), state.formats, [&metrics](const std::string& str) {
            return metrics.horizontalAdvance(QString::fromStdString(str));
        });

    // Grid lines on whole device pixels, so every line is one crisp pixel wide.
    std::vector<QLineF> grid;
    grid.reserve(valueTicks.ticks.size() + timeTicks.ticks.size());
    for (const CChartTick& tick : valueTicks.ticks) {
        const double dY = std::round(geometry.ValueMap().Map(tick.dAt));
        grid.emplace_back(rcPlot.dLeft, dY, rcPlot.dRight, dY);
    }
    for (const CChartTick& tick : timeTicks.ticks) {
        const double dX = std::round(geometry.TimeMap().Map(tick.dAt));
        grid.emplace_back(dX, rcPlot.dTop, dX, rcPlot.dBottom);
    }
    painter.setPen(HairlinePen(state.crGrid));
    painter.drawLines(grid.data(), static_cast<int>(grid.size()));

    painter.setPen(HairlinePen(state.crAxes));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(QPointF(std::round(rcPlot.dLeft), std::round(rcPlot.dTop)),
                            QPointF(std::round(rcPlot.dRight), std::round(rcPlot.dBottom))));

    painter.setFont(m_fontAxis);
    painter.setPen(QColorOf(state.crText));
    const double dGap = dTextHeight * AXIS_LABEL_GAP;
    const double dAscent = metrics.ascent();
    // A tick label that would run into a text label gives way to it.
    auto drawTickLabel = [&](const QString& str, double dX, double dTop, double dWidth) {
        const QRectF rcText(dX, dTop, dWidth, dTextHeight);
        for (const CPlacedLabel& placed : m_placed) {
            if (placed.rcBox.intersects(rcText)) {
                return;
            }
        }
        painter.drawText(QPointF(dX, dTop + dAscent), str);
    };
    for (const CChartTick& tick : valueTicks.ticks) {
        const QString str = QString::fromStdString(tick.strLabel);
        const double dWidth = metrics.horizontalAdvance(str);
        const double dY = geometry.ValueMap().Map(tick.dAt);
        drawTickLabel(str, rcPlot.dLeft - dGap - dWidth, dY - dTextHeight / 2, dWidth);
    }
    const CChartRect& rcChart = geometry.Chart();
    for (const CChartTick& tick : timeTicks.ticks) {
        const QString str = QString::fromStdString(tick.strLabel);
        const double dWidth = metrics.horizontalAdvance(str);
        // Centred under its line, but kept inside the chart.
        double dX = geometry.TimeMap().Map(tick.dAt) - dWidth / 2;
        dX = std::max(rcChart.dLeft, std::min(dX, rcChart.dRight - dWidth));
        drawTickLabel(str, dX, rcPlot.dBottom + dGap, dWidth);
    }
}

void CChartRenderer::DrawTrace(QPainter& painter, const CChartGeometry& geometry,
                               const CChartState& state) {
    const std::vector<CChartPoint>& points = state.points;
    if (points.empty()) {
        return;
    }
    // Reduce per device pixel, whatever scale the painter draws at.
    const QTransform& device = painter.deviceTransform();
    const double dScaleX = std::max(std::abs(device.m11()), 1e-6);
    const double dScaleY = std::max(std::abs(device.m22()), 1e-6);
    // A zoomed view draws only its own readings and one on either side, which carry the lines
    // that enter and leave it; readings out of time order are all drawn.
    const CPointIndex index(points);
    const CChartRange& shown = geometry.TimeRange();
    auto [nFirst, nLast] = index.Between(shown.dLower, shown.dUpper);
    if (index.Ordered()) {
        nFirst = nFirst > 0 ? nFirst - 1 : 0;
        nLast = std::min(nLast + 1, points.size());
    }
    m_trace.Build(points.data() + nFirst, nLast - nFirst, geometry.TimeMap(), geometry.ValueMap(),
                  geometry.Plot(), dScaleX);
    painter.setPen(HairlinePen(state.crTrace));
    const std::vector<CTracePoint>& traced = m_trace.Points();
    for (std::size_t nRun = 0; nRun < m_trace.RunCount(); ++nRun) {
        const std::size_t nBegin = m_trace.RunBegin(nRun);
        const std::size_t nEnd = m_trace.RunEnd(nRun);
        if (nEnd - nBegin == 1) {
            // A reading alone between gaps still shows.
            painter.drawPoint(QPointF(traced[nBegin].dX, traced[nBegin].dY));
            continue;
        }
        // On whole device pixels, where the raster engine puts them anyway; vector output (PDF,
        // SVG) then writes short numbers that compress well, and repeats fall away.
        m_polyline.clear();
        for (std::size_t i = nBegin; i < nEnd; ++i) {
            const QPointF pt(std::round(traced[i].dX * dScaleX) / dScaleX,
                             std::round(traced[i].dY * dScaleY) / dScaleY);
            if (m_polyline.isEmpty() || m_polyline.constLast() != pt) {
                m_polyline.append(pt);
            }
        }
        if (m_polyline.size() == 1) {
            painter.drawPoint(m_polyline.constFirst());
        } else {
            painter.drawPolyline(m_polyline);
        }
    }
}

void CChartRenderer::PlaceLabels(QPainter& painter, const CChartGeometry& geometry,
                                 const CChartState& state) {
    m_placed.clear();
    const CChartRect& rcChart = geometry.Chart();
    const std::vector<CChartLabel>& labels = state.labels;
    const int nShown = std::min(state.nShownLabels, static_cast<int>(labels.size()));
    for (int i = 0; i < nShown; ++i) {
        const CChartLabel& label = labels[static_cast<std::size_t>(i)];
        if (label.strText.empty() || !std::isfinite(label.dX) || !std::isfinite(label.dY)) {
            continue;
        }
        CPlacedLabel placed;
        placed.pFont = i == CAPTION_LABEL ? &m_fontCaption : &m_fontLabel;
        placed.str = QString::fromStdString(label.strText);
        placed.crColour = label.crColour;
        const QFontMetricsF metrics(*placed.pFont, painter.device());
        const double dWidth = metrics.horizontalAdvance(placed.str);
        const double dHeight = metrics.height();
        // The position is where the label sits within the room it has: 0 puts it at the left
        // (top) edge, 1 at the right (bottom) edge and 0.5 centres it.
        // Far-off positions are held just outside the chart, where the clip hides them.
        const double dFractionX = std::clamp(label.dX, -1.0, 2.0);
        const double dFractionY = std::clamp(label.dY, -1.0, 2.0);
        placed.rcBox =
            QRectF(rcChart.dLeft + dFractionX * (rcChart.Width() - dWidth),
                   rcChart.dTop + dFractionY * (rcChart.Height() - dHeight), dWidth, dHeight);
        placed.dAscent = metrics.ascent();
        m_placed.push_back(std::move(placed));
    }
}

void CChartRenderer::DrawLabels(QPainter& painter) {
    for (const CPlacedLabel& placed : m_placed) {
        painter.setFont(*placed.pFont);
        painter.setPen(QColorOf(placed.crColour));
        painter.drawText(QPointF(placed.rcBox.left(), placed.rcBox.top() + placed.dAscent),
                         placed.str);
    }
}
