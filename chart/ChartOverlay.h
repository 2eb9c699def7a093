#pragma once
// What the window adds over the strip chart: the alarm levels as dashed lines at +level and
// -level, the spans where the field stays above the alert level shaded, and the cursor line.
// Drawn by the one renderer after the trace, so the screen, the page and the exports show the
// same levels; the cursor belongs to the window alone.

class QPainter;
class CChartGeometry;
struct CChartState;
struct CChartStyle;

// Screen colours of the levels (0x00BBGGRR): amber for the warning, red for the alert.
constexpr unsigned WARNING_COLOUR = 0x0000C0FF;
constexpr unsigned ALERT_COLOUR = 0x004040FF;

void DrawOverlay(QPainter& painter, const CChartGeometry& geometry, const CChartState& state,
                 const CChartStyle& style);
