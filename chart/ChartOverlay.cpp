#include "chart/ChartOverlay.h"

#include "chart/ChartState.h"
#include "chart/ChartStyle.h"
#include "chart/ChartView.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {
constexpr int SHADE_ALPHA = 56;
constexpr COLORREF CURSOR_COLOUR = 0x00C0C0C0;
// In screen pixels (scaled to the device): a level's pen, the band of background under it, and a
// flash tick's length and width.
constexpr double LEVEL_WIDTH = 2.0;
constexpr double LEVEL_BAND = 4.0;
constexpr double TICK_LENGTH = 9.0;
constexpr double TICK_WIDTH = 2.0;

double ScreenPixel(const QPainter& painter) {
    return painter.device() != nullptr ? painter.device()->logicalDpiY() / 96.0 : 1.0;
}

// Dashes measure in pen widths, so they keep their length on paper too.
QPen LevelPen(COLORREF cr, bool bPaper, bool bAlert, double dPixel) {
    QPen pen(bPaper ? QColor(Qt::black) : QColorOf(cr));
    pen.setCosmetic(false);
    pen.setWidthF(LEVEL_WIDTH * dPixel);
    pen.setCapStyle(Qt::FlatCap);
    // The alert's dashes are longer, so the two levels differ on black-and-white paper too.
    pen.setDashPattern(bAlert ? QVector<qreal>{5, 2} : QVector<qreal>{1.5, 1.5});
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
// Saves the painter's state and keeps what follows inside the plot; the caller restores.
void SaveClippedToPlot(QPainter& painter, const CChartRect& rcPlot) {
    painter.save();
    painter.setClipRect(
        QRectF(QPointF(rcPlot.dLeft, rcPlot.dTop), QPointF(rcPlot.dRight, rcPlot.dBottom)),
        Qt::IntersectClip);
}
} // namespace

void DrawLevels(QPainter& painter, const CChartGeometry& geometry, const CChartState& state,
                const CChartStyle& style) {
    const CAlarmLevels& alarms = state.overlay.alarms;
    if (!alarms.Any()) {
        return;
    }
    const CChartRect& rcPlot = geometry.Plot();
    SaveClippedToPlot(painter, rcPlot);
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
    const double dPixel = ScreenPixel(painter);
    QPen band(QColorOf(state.crBack));
    band.setWidthF(LEVEL_BAND * dPixel);
    band.setCapStyle(Qt::FlatCap);
    for (const auto& level : levels) {
        if (!(level.dLevel > 0.0)) {
            continue;
        }
        for (const double dSign : {1.0, -1.0}) {
            const double dY = std::round(geometry.ValueMap().Map(dSign * level.dLevel));
            const QLineF line(rcPlot.dLeft, dY, rcPlot.dRight, dY);
            painter.setPen(band);
            painter.drawLine(line);
            painter.setPen(LevelPen(level.cr, style.bPaper, level.bAlert, dPixel));
            painter.drawLine(line);
        }
    }
    painter.restore();
}

void DrawOverlay(QPainter& painter, const CChartGeometry& geometry, const CChartState& state,
                 const CChartStyle& style) {
    const CChartOverlay& overlay = state.overlay;
    if (overlay.flashes.empty() && !(overlay.bCursor && style.bInteractive)) {
        return;
    }
    const CChartRect& rcPlot = geometry.Plot();
    SaveClippedToPlot(painter, rcPlot);
    if (!overlay.flashes.empty()) {
        const double dPixel = ScreenPixel(painter);
        QPen pen(style.bPaper ? QColor(Qt::black) : QColorOf(FLASH_COLOUR));
        pen.setWidthF(TICK_WIDTH * dPixel);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        const CChartRange& shown = geometry.TimeRange();
        const auto first =
            std::lower_bound(overlay.flashes.begin(), overlay.flashes.end(), shown.dLower);
        std::vector<QLineF> ticks;
        for (auto it = first; it != overlay.flashes.end() && *it <= shown.dUpper; ++it) {
            const double dX = std::round(geometry.TimeMap().Map(*it));
            ticks.emplace_back(dX, rcPlot.dTop, dX, rcPlot.dTop + TICK_LENGTH * dPixel);
        }
        painter.drawLines(ticks.data(), static_cast<int>(ticks.size()));
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

std::string LevelLegend(const CAlarmLevels& alarms, const CFieldUnit& unit) {
    std::string str;
    const std::string strUnit = std::string(" ") + unit.Unit();
    if (alarms.dWarning > 0.0) {
        str += "warning \u00B1" + unit.FormatLevel(alarms.dWarning) + strUnit + " dotted";
    }
    if (alarms.dAlert > 0.0) {
        str += std::string(str.empty() ? "" : ", ") + "alert \u00B1" +
               unit.FormatLevel(alarms.dAlert) + strUnit + " dashed, shaded above";
    }
    return str.empty() ? str : "Levels: " + str;
}
