#pragma once
// What the window adds over the strip chart, drawn by the one renderer so that the screen, the
// page and the exports show the same: under the trace, the spans where the field stays above the
// alert level shaded and the alarm levels as dashed lines at +level and -level, above the grid
// and thicker than it, on a band of the background so a grid line at the same value never hides
// them; over the trace, a short tick at the top of the plot for each probable flash, and the
// cursor line (the window's alone).

#include "data/FieldUnit.h"

#include <string>

class QPainter;
class CChartGeometry;
struct CAlarmLevels;
struct CChartState;
struct CChartStyle;

// Screen colours (0x00BBGGRR): amber for the warning, red for the alert, yellow flash ticks.
constexpr unsigned WARNING_COLOUR = 0x0000C0FF;
constexpr unsigned ALERT_COLOUR = 0x004040FF;
constexpr unsigned FLASH_COLOUR = 0x0000FFFF;

// Between the grid and the trace.
void DrawLevels(QPainter& painter, const CChartGeometry& geometry, const CChartState& state,
                const CChartStyle& style);
// After the trace.
void DrawOverlay(QPainter& painter, const CChartGeometry& geometry, const CChartState& state,
                 const CChartStyle& style);

// One line naming the levels and how each is drawn, for the printed page; empty with none set.
[[nodiscard]] std::string LevelLegend(const CAlarmLevels& alarms, const CFieldUnit& unit = {});
