#include "chart/ChartOverlay.h"

#include "chart/ChartState.h"
#include "chart/ChartStyle.h"
#include "chart/ChartView.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int SHADE_ALPHA = 56;
constexpr COLORREF CURSOR_COLOUR = 0x00C0C0C0;

// Dashes measure in pen widths; a pen as wide as a screen pixel keeps them as long on paper.
QPen LevelPen(COLORREF cr, bool bPaper, bool bAlert, double dPixelsPerScreenPixel) {
    QPen pen(bPaper ? QColor(Qt::black) : QColorOf(cr));
    pen.setCosmetic(false);
    pen.setWidthF(std::max(1.0, dPixelsPerScreenPixel));
    // The alert's dashes are longer, so the two levels differ on black-and-white paper too.
    pen.setDashPattern(bAlert ? QVector<qreal>{9, 4} : QVector<qreal>{3, 3});
    return pen;
}

// The x extents (device coordinates) of the stretches where |E| stays above dLevel, each
// reading holding until the next one, merged where they touch.
std::vector<std::pair<double, double>>
StretchesAbove(const CChartState& state, const CChartGeometry& geometry, double dLevel) {
    std::vector<std::pair<double, double>> stretches;
    const CPointIndex index(state.points, state.bPointsOrdered);
    const CChartRange& shown = geometry.TimeRange();
    auto [nFirst, nLast] = index.Between(shown.dLower, shown.dUpper);
    if (index.Ordered()) {
        nFirst = nFirst > 0 ? nFirst - 1 : 0; // the reading before the view holds into it
    }
    const std::vector<CChartPoint>& points = state.points;
    for (std::size_t i = nFirst; i + 1 < points.size() && i < nLast; ++i) {
        if (!(std::fabs(points[i].dValue) > dLevel) || !(points[i + 1].dTime > points[i].dTime)) {
            continue;
        }
        const double dFrom = geometry.TimeMap().Map(points[i].dTime);
        const double dTo = geometry.TimeMap().Map(points[i + 1].dTime);
        if (!stretches.empty() && dFrom <= stretches.back().second + 1.0) {
            stretches.back().second = std::max(stretches.back().second, dTo);
        } else {
            stretches.emplace_back(dFrom, dTo);
        }
    }
    return stretches;
}
} // namespace

void DrawOverlay(QPainter& painter, const CChartGeometry& geometry, const CChartState& state,
                 const CChartStyle& style) {
    const CChartOverlay& overlay = state.overlay;
    const CChartRect& rcPlot = geometry.Plot();
    const QRectF rcClip(QPointF(rcPlot.dLeft, rcPlot.dTop), QPointF(rcPlot.dRight, rcPlot.dBottom));
    if (!overlay.alarms.Any() && !(overlay.bCursor && style.bInteractive)) {
        return;
    }
    painter.save();
    painter.setClipRect(rcClip, Qt::IntersectClip);
    const CAlarmLevels& alarms = overlay.alarms;
    if (alarms.dAlert > 0.0) {
        QColor shade = style.bPaper ? QColor(Qt::gray) : QColorOf(ALERT_COLOUR);
        shade.setAlpha(SHADE_ALPHA);
        for (const auto& [dFrom, dTo] : StretchesAbove(state, geometry, alarms.dAlert)) {
            painter.fillRect(QRectF(QPointF(dFrom, rcPlot.dTop), QPointF(dTo, rcPlot.dBottom)),
                             shade);
        }
    }
    const struct {
        double dLevel;
        COLORREF cr;
        bool bAlert;
    } levels[] = {{alarms.dWarning, WARNING_COLOUR, false}, {alarms.dAlert, ALERT_COLOUR, true}};
    for (const auto& level : levels) {
        if (!(level.dLevel > 0.0)) {
            continue;
        }
        const double dScale =
            painter.device() != nullptr ? painter.device()->logicalDpiY() / 96.0 : 1.0;
        painter.setPen(LevelPen(level.cr, style.bPaper, level.bAlert, dScale));
        for (const double dSign : {1.0, -1.0}) {
            const double dY = std::round(geometry.ValueMap().Map(dSign * level.dLevel));
            painter.drawLine(QLineF(rcPlot.dLeft, dY, rcPlot.dRight, dY));
        }
    }
    if (overlay.bCursor && style.bInteractive) {
        QPen pen(QColorOf(CURSOR_COLOUR));
        pen.setCosmetic(true);
        pen.setWidth(0);
        painter.setPen(pen);
        const double dX = std::round(geometry.TimeMap().Map(overlay.dCursorTime));
        painter.drawLine(QLineF(dX, rcPlot.dTop, dX, rcPlot.dBottom));
    }
    painter.restore();
}
