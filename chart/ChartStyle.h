#pragma once
// What the renderer and the overlay both need to know about a drawing: where it goes, and how a
// chart colour becomes Qt's. Kept apart so that neither includes the other.

#include "platform/WinTypes.h"

#include <QColor>
#include <QRectF>

// Where a drawing goes. The window may add what only an interactive view shows (the cursor, alarm
// shading); a printed page and an exported file show the chart alone.
struct CChartStyle {
    explicit CChartStyle(bool bInteractiveView = false, bool bPaperPage = false)
        : bInteractive(bInteractiveView), bPaper(bPaperPage) {}

    bool bInteractive; // the window: the cursor shows
    bool bPaper;       // a printed page: alarm levels in black
    QRectF rcDirty;    // the part that needs painting again; empty: all of it
};

// A chart colour (0x00BBGGRR) as Qt's colour.
[[nodiscard]] inline QColor QColorOf(COLORREF cr) {
    return QColor(static_cast<int>(cr & 0xFF), static_cast<int>((cr >> 8) & 0xFF),
                  static_cast<int>((cr >> 16) & 0xFF));
}
