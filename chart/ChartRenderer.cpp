#include "chart/ChartRenderer.h"

#include "chart/ChartOverlay.h"
#include "chart/ChartView.h"
#include "platform/DeviceContext.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {
constexpr double AXIS_POINTS = 8.25;
constexpr double LABEL_POINTS = 9.75;
constexpr double CAPTION_POINTS = 12.0;
// Room between the plot area and its axis labels, in axis-label heights.
constexpr double AXIS_LABEL_GAP = 0.1;
// Room an axis title keeps from the texts and the frame it must not cover, in axis-label heights.
constexpr double TITLE_CLEARANCE = 0.1;
// Two stretches that touch within this many device pixels do not overlap.
constexpr double TOUCH_TOLERANCE = 1e-6;

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

struct CSpan {
    double dLow = 0.0;
    double dHigh = 0.0;
};

// The start nearest dWanted of a stretch dLength long that lies inside [dLow, dHigh] and overlaps
// none of the blocked spans; none when there is no such stretch. The best start is dWanted itself
// (held inside the bounds), a bound, or flush against a blocked span, so those are all it tries.
std::optional<double> NearestFreeStart(double dWanted, double dLength, double dLow, double dHigh,
                                       const std::vector<CSpan>& blocked) {
    const auto fits = [&](double dStart) {
        if (dStart < dLow - TOUCH_TOLERANCE || dStart + dLength > dHigh + TOUCH_TOLERANCE) {
            return false;
        }
        return std::none_of(blocked.begin(), blocked.end(), [&](const CSpan& span) {
            return dStart < span.dHigh - TOUCH_TOLERANCE &&
                   span.dLow < dStart + dLength - TOUCH_TOLERANCE;
        });
    };
    std::optional<double> best;
    const auto consider = [&](double dStart) {
        if (fits(dStart) && (!best || std::abs(dStart - dWanted) < std::abs(*best - dWanted))) {
            best = dStart;
        }
    };
    consider(std::clamp(dWanted, dLow, std::max(dLow, dHigh - dLength)));
    consider(dLow);
    consider(dHigh - dLength);
    for (const CSpan& span : blocked) {
        consider(span.dLow - dLength);
        consider(span.dHigh);
    }
    return best;
}

// The stretches down that texts reaching into [dLeft, dRight] across take up, each widened by
// dClear: where a title sliding down that column may not go.
std::vector<CSpan> BlockedDown(const std::vector<CPlacedText>& texts, double dLeft, double dRight,
                               double dClear) {
    std::vector<CSpan> blocked;
    for (const CPlacedText& text : texts) {
        const QRectF& rc = text.rcBox;
        if (rc.left() < dRight + dClear && dLeft - dClear < rc.right()) {
            blocked.push_back({rc.top() - dClear, rc.bottom() + dClear});
        }
    }
    return blocked;
}

QFont ChartFont(double dPoints) {
    QFont font(SerifFamily());
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(dPoints);
    font.setWeight(QFont::Normal);
    return font;
}
} // namespace

CChartRenderer::CChartRenderer()
    : m_fontAxis(ChartFont(AXIS_POINTS)), m_fontLabel(ChartFont(LABEL_POINTS)),
      m_fontCaption(ChartFont(CAPTION_POINTS)) {}

void CChartRenderer::DrawOnDevice(const CDeviceContextTarget& target, const CChartRect& rcDevice,
                                  const CChartState& state) {
    Draw(*target.pPainter,
         QRectF(QPointF(rcDevice.dLeft, rcDevice.dTop), QPointF(rcDevice.dRight, rcDevice.dBottom)),
         state, CChartStyle{false, true}); // method 140 draws the printed page
}

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
        state.ShownTime(), state.ShownValue(), state.unit.Scale() < 0.0);
    const CChartRect& rcPlot = geometry.Plot();
    m_layout.rcPlot =
        QRectF(QPointF(rcPlot.dLeft, rcPlot.dTop), QPointF(rcPlot.dRight, rcPlot.dBottom));
    PlaceTicks(painter, geometry, state, 0.0);
    if (!PlaceLabels(painter, geometry, state)) {
        // Value lines too close for the value axis's title to pass between their labels: space
        // them so that it can.
        PlaceTicks(painter, geometry, state, ValueTitleSpacing(painter.device(), state));
        (void)PlaceLabels(painter, geometry, state);
    }
    DrawAxes(painter, geometry, state);
    DrawLevels(painter, geometry, state, style); // above the grid, under the trace
    DrawTrace(painter, geometry, state, style.rcDirty);
    DrawOverlay(painter, geometry, state, style);
    DrawTexts(painter, m_layout.labels);
    if (style.bPaper) {
        DrawLegend(painter, geometry, state);
    }
    painter.restore();
}

double CChartRenderer::ValueTitleSpacing(QPaintDevice* pDevice, const CChartState& state) const {
    const bool bTitled =
        VALUE_TITLE_LABEL < std::min(state.nShownLabels, static_cast<int>(state.labels.size()));
    if (!bTitled) {
        return 0.0;
    }
    const double dAxisHeight = QFontMetricsF(m_fontAxis, pDevice).height();
    const QString str = QString::fromStdString(state.labels[VALUE_TITLE_LABEL].strText);
    return QFontMetricsF(m_fontLabel, pDevice).horizontalAdvance(str) + dAxisHeight +
           2 * TITLE_CLEARANCE * dAxisHeight;
}

void CChartRenderer::PlaceTicks(QPainter& painter, const CChartGeometry& geometry,
                                const CChartState& state, double dValueSpacing) {
    const CChartRect& rcPlot = geometry.Plot();
    const CChartRect& rcChart = geometry.Chart();
    const QFontMetricsF metrics(m_fontAxis, painter.device());
    const double dTextHeight = metrics.height();
    const double dGap = dTextHeight * AXIS_LABEL_GAP;
    // Value lines at least two label heights apart, or dValueSpacing when that is more.
    m_valueTicks = ChooseShownValueTicks(geometry.ValueRange(), state.unit, rcPlot.Height(),
                                         std::max(dTextHeight, dValueSpacing / 2));
    m_timeTicks = ChooseTimeTicks(geometry.TimeRange(), rcPlot.Width(), state.formats,
                                  [&metrics](const std::string& str) {
                                      return metrics.horizontalAdvance(QString::fromStdString(str));
                                  });

    m_layout.ticks.clear();
    const auto add = [&](const std::string& strLabel, auto fnLeftTop) {
        CPlacedText text;
        text.str = QString::fromStdString(strLabel);
        const double dWidth = metrics.horizontalAdvance(text.str);
        text.rcBox = QRectF(fnLeftTop(dWidth), QSizeF(dWidth, dTextHeight));
        text.dAscent = metrics.ascent();
        text.pFont = &m_fontAxis;
        text.crColour = state.crText;
        m_layout.ticks.push_back(std::move(text));
    };
    // Value labels end just left of the frame, each centred on its line, but no lower than to
    // meet the time labels, so the lowest and the first time label never overlap at the corner.
    for (const CChartTick& tick : m_valueTicks.ticks) {
        const double dY = geometry.ValueMap().Map(tick.dAt);
        add(tick.strLabel, [&](double dWidth) {
            return QPointF(rcPlot.dLeft - dGap - dWidth,
                           std::min(dY - dTextHeight / 2, rcPlot.dBottom + dGap - dTextHeight));
        });
    }
    // Time labels hang just under the frame, centred under their line but kept inside the chart.
    for (const CChartTick& tick : m_timeTicks.ticks) {
        const double dX = geometry.TimeMap().Map(tick.dAt);
        add(tick.strLabel, [&](double dWidth) {
            return QPointF(
                std::max(rcChart.dLeft, std::min(dX - dWidth / 2, rcChart.dRight - dWidth)),
                rcPlot.dBottom + dGap);
        });
    }
}

void CChartRenderer::DrawAxes(QPainter& painter, const CChartGeometry& geometry,
                              const CChartState& state) {
    const CChartRect& rcPlot = geometry.Plot();
    // Grid lines on whole device pixels, so every line is one crisp pixel wide.
    std::vector<QLineF> grid;
    grid.reserve(m_valueTicks.ticks.size() + m_timeTicks.ticks.size());
    for (const CChartTick& tick : m_valueTicks.ticks) {
        const double dY = std::round(geometry.ValueMap().Map(tick.dAt));
        grid.emplace_back(rcPlot.dLeft, dY, rcPlot.dRight, dY);
    }
    for (const CChartTick& tick : m_timeTicks.ticks) {
        const double dX = std::round(geometry.TimeMap().Map(tick.dAt));
        grid.emplace_back(dX, rcPlot.dTop, dX, rcPlot.dBottom);
    }
    painter.setPen(HairlinePen(state.crGrid));
    painter.drawLines(grid.data(), static_cast<int>(grid.size()));

    painter.setPen(HairlinePen(state.crAxes));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(QPointF(std::round(rcPlot.dLeft), std::round(rcPlot.dTop)),
                            QPointF(std::round(rcPlot.dRight), std::round(rcPlot.dBottom))));
    DrawTexts(painter, m_layout.ticks);
}
void CChartRenderer::DrawTrace(QPainter& painter, const CChartGeometry& geometry,
                               const CChartState& state, const QRectF& rcDirty) {
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
    const CPointIndex index(points, state.bPointsOrdered);
    CChartRange shown = geometry.TimeRange();
    if (rcDirty.isValid()) {
        // Only some columns need painting again (readings appended at the right): only their
        // readings are reduced, so a new reading costs the same late in a day as early.
        const double dLeft = geometry.TimeMap().Invert(rcDirty.left() - 1.0);
        const double dRight = geometry.TimeMap().Invert(rcDirty.right() + 1.0);
        shown = {std::max(shown.dLower, std::min(dLeft, dRight)),
                 std::min(shown.dUpper, std::max(dLeft, dRight))};
    }
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

void CChartRenderer::DrawLegend(QPainter& painter, const CChartGeometry& geometry,
                                const CChartState& state) {
    const std::string strLegend = LevelLegend(state.overlay.alarms, state.unit);
    if (strLegend.empty()) {
        return;
    }
    CPlacedText legend;
    legend.str = QString::fromStdString(strLegend);
    legend.pFont = &m_fontAxis;
    const QFontMetricsF metrics(m_fontAxis, painter.device());
    legend.dAscent = metrics.ascent();
    const double dWidth = metrics.horizontalAdvance(legend.str);
    const double dHeight = metrics.height();
    const CChartRect& rcChart = geometry.Chart();
    const CChartRect& rcPlot = geometry.Plot();
    // One line in black where no other text is: under the time axis beside its title, right or
    // left, or else above the plot at its left.
    const QRectF candidates[] = {
        {std::max(rcChart.dLeft, rcPlot.dRight - dWidth), rcChart.dBottom - dHeight, dWidth,
         dHeight},
        {rcPlot.dLeft, rcChart.dBottom - dHeight, dWidth, dHeight},
        {rcPlot.dLeft, rcPlot.dTop - dHeight - AXIS_LABEL_GAP * dHeight, dWidth, dHeight},
    };
    const auto free = [this](const QRectF& rc) {
        const auto meets = [&rc](const CPlacedText& text) { return text.rcBox.intersects(rc); };
        return std::none_of(m_layout.labels.begin(), m_layout.labels.end(), meets) &&
               std::none_of(m_layout.ticks.begin(), m_layout.ticks.end(), meets);
    };
    const auto* pFree = std::find_if(std::begin(candidates), std::end(candidates), free);
    legend.rcBox = pFree != std::end(candidates) ? *pFree : candidates[0];
    DrawTexts(painter, {legend});
}

bool CChartRenderer::PlaceLabels(QPainter& painter, const CChartGeometry& geometry,
                                 const CChartState& state) {
    m_layout.labels.clear();
    bool bAllPlaced = true;
    const CChartRect& rcChart = geometry.Chart();
    const CChartRect& rcPlot = geometry.Plot();
    const double dClear = TITLE_CLEARANCE * QFontMetricsF(m_fontAxis, painter.device()).height();
    const std::vector<CChartLabel>& labels = state.labels;
    const int nShown = std::min(state.nShownLabels, static_cast<int>(labels.size()));
    for (int i = 0; i < nShown; ++i) {
        const CChartLabel& label = labels[static_cast<std::size_t>(i)];
        if (label.strText.empty() || !std::isfinite(label.dX) || !std::isfinite(label.dY)) {
            continue;
        }
        CPlacedText placed;
        placed.pFont = i == CAPTION_LABEL ? &m_fontCaption : &m_fontLabel;
        placed.str = QString::fromStdString(label.strText);
        placed.crColour = label.crColour;
        placed.nLabel = i;
        const QFontMetricsF metrics(*placed.pFont, painter.device());
        placed.dAscent = metrics.ascent();
        const double dWidth = metrics.horizontalAdvance(placed.str);
        const double dHeight = metrics.height();
        // Far-off positions are held just outside the chart, where the clip hides them.
        const double dFractionX = std::clamp(label.dX, -1.0, 2.0);
        const double dFractionY = std::clamp(label.dY, -1.0, 2.0);
        const double dAnchorX = rcChart.dLeft + dFractionX * rcChart.Width();
        const double dAnchorY = rcChart.dTop + dFractionY * rcChart.Height();

        if (i == VALUE_TITLE_LABEL) {
            // Upward, from the anchor rightward but never onto the frame, centred on the anchor
            // down or as near it as the value labels leave room.
            const double dLeft =
                std::max(rcChart.dLeft, std::min(dAnchorX, rcPlot.dLeft - dClear - dHeight));
            if (dLeft + dHeight > rcPlot.dLeft - dClear + TOUCH_TOLERANCE) {
                bAllPlaced = false; // no room left of the frame
                continue;
            }
            const std::optional<double> dTop =
                NearestFreeStart(dAnchorY - dWidth / 2, dWidth, rcChart.dTop, rcChart.dBottom,
                                 BlockedDown(m_layout.ticks, dLeft, dLeft + dHeight, dClear));
            if (!dTop) {
                bAllPlaced = false;
                continue;
            }
            placed.rcBox = QRectF(dLeft, *dTop, dHeight, dWidth);
            placed.bUpward = true;
        } else if (i == TIME_TITLE_LABEL) {
            // Centred across on the anchor, and below the frame and the time labels, as near the
            // anchor down as they leave room.
            const double dLeft =
                std::max(rcChart.dLeft, std::min(dAnchorX - dWidth / 2, rcChart.dRight - dWidth));
            std::vector<CSpan> blocked = BlockedDown(m_layout.ticks, dLeft, dLeft + dWidth, dClear);
            blocked.push_back({rcPlot.dTop - dClear, rcPlot.dBottom + dClear});
            const std::optional<double> dTop = NearestFreeStart(
                dAnchorY - dHeight / 2, dHeight, rcPlot.dBottom, rcChart.dBottom, blocked);
            if (!dTop) {
                bAllPlaced = false;
                continue;
            }
            placed.rcBox = QRectF(dLeft, *dTop, dWidth, dHeight);
        } else {
            // Any other label sits within the room it has: 0 puts it at the left (top) edge, 1 at
            // the right (bottom) edge and 0.5 centres it.
            placed.rcBox =
                QRectF(rcChart.dLeft + dFractionX * (rcChart.Width() - dWidth),
                       rcChart.dTop + dFractionY * (rcChart.Height() - dHeight), dWidth, dHeight);
        }
        m_layout.labels.push_back(std::move(placed));
    }
    // An axis label that would run into a text label gives way to it (the titles never meet one).
    std::erase_if(m_layout.ticks, [this](const CPlacedText& tick) {
        return std::any_of(
            m_layout.labels.begin(), m_layout.labels.end(),
            [&tick](const CPlacedText& label) { return label.rcBox.intersects(tick.rcBox); });
    });
    return bAllPlaced;
}

void CChartRenderer::DrawTexts(QPainter& painter, const std::vector<CPlacedText>& texts) {
    for (const CPlacedText& text : texts) {
        painter.setFont(*text.pFont);
        painter.setPen(QColorOf(text.crColour));
        if (!text.bUpward) {
            painter.drawText(QPointF(text.rcBox.left(), text.rcBox.top() + text.dAscent), text.str);
            continue;
        }
        // Turned a quarter to the left: the baseline runs up the box, the ascent to its left.
        painter.save();
        painter.translate(text.rcBox.left() + text.dAscent, text.rcBox.bottom());
        painter.rotate(-90.0);
        painter.drawText(QPointF(0.0, 0.0), text.str);
        painter.restore();
    }
}

QSize CChartRenderer::MinimumSize(const CChartState& state, QPaintDevice* pDevice) const {
    const QFontMetricsF axis(m_fontAxis, pDevice);
    const QFontMetricsF title(m_fontLabel, pDevice);
    const double dAxisHeight = axis.height();
    const double dGap = AXIS_LABEL_GAP * dAxisHeight;
    const double dClear = TITLE_CLEARANCE * dAxisHeight;
    const CChartRect rcUnit = PlotAreaOf({0.0, 0.0, 1.0, 1.0}, state.plot);
    const int nShown = std::min(state.nShownLabels, static_cast<int>(state.labels.size()));
    const auto titled = [&state, nShown](int nLabel) {
        return nLabel < nShown && !state.labels[static_cast<std::size_t>(nLabel)].strText.empty();
    };
    // Across: left of the frame, the widest value label of a day within +-100 kV/m or of the
    // scale shown, whichever is wider, at any spacing of its lines; and the value axis's title
    // from its anchor (it passes between the labels, spaced for it if need be).
    double dWidth = 0.0;
    if (rcUnit.dLeft > 0.0) {
        double dLabels = axis.horizontalAdvance(state.unit.Scale() < 0.0 ? QStringLiteral("-10000")
                                                                         : QStringLiteral("-100"));
        for (int nIntervals = 1; nIntervals <= MAX_TICK_INTERVALS; ++nIntervals) {
            // Two label heights of one pixel apart: that many intervals.
            const CValueTicks ticks =
                ChooseShownValueTicks(state.ShownValue(), state.unit, 2.0 * nIntervals, 1.0);
            for (const CChartTick& tick : ticks.ticks) {
                dLabels = std::max(dLabels,
                                   axis.horizontalAdvance(QString::fromStdString(tick.strLabel)));
            }
        }
        dWidth = (dGap + dLabels) / rcUnit.dLeft;
        if (titled(VALUE_TITLE_LABEL)) {
            const double dRoom =
                rcUnit.dLeft - std::clamp(state.labels[VALUE_TITLE_LABEL].dX, 0.0, 1.0);
            dWidth = std::max(dWidth, dRoom > 0.0 ? (title.height() + dClear) / dRoom : 0.0);
        }
    }
    // Down: under the frame the time labels, then the time axis's title; and room in the plot for
    // the value axis's title between two value labels.
    double dHeight = 0.0;
    const double dBelow = 1.0 - rcUnit.dBottom;
    if (titled(TIME_TITLE_LABEL) && dBelow > 0.0) {
        dHeight = (dGap + dAxisHeight + dClear + title.height()) / dBelow;
    }
    if (titled(VALUE_TITLE_LABEL) && rcUnit.Height() > 0.0) {
        dHeight = std::max(dHeight, ValueTitleSpacing(pDevice, state) / rcUnit.Height());
    }
    return {static_cast<int>(std::ceil(dWidth)), static_cast<int>(std::ceil(dHeight))};
}
