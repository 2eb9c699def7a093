#pragma once
// What the renderer and the overlay both need to know about a drawing: where it goes, and how a
// chart colour becomes Qt's. Kept apart so that neither includes the other.

#include "platform/WinTypes.h"

#include <QColor>

// Where a drawing goes. The window may add what only an interactive view shows (the cursor, alarm
// shading); a printed page and an exported file show the chart alone.
struct CChartStyle {
    bool bInteractive = false; // the window: the cursor shows
    bool bPaper = false;       // a printed page: alarm levels in black
};

// A chart colour (0x00BBGGRR) as Qt's colour.
[[nodiscard]] inline QColor QColorOf(COLORREF cr) {
    return QColor(static_cast<int>(cr & 0xFF), static_cast<int>((cr >> 8) & 0xFF),
                  static_cast<int>((cr >> 16) & 0xFF));
}
