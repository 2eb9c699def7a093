#pragma once
// The chart's fixed display settings, written once when the main window sets up (and by the
// exporter, which shows the chart as the screen does), and the colour switch printing uses.

#include "platform/WinTypes.h"

class CStrip;

// The screen and print colour sets (0x00BBGGRR).
constexpr COLORREF SCREEN_TRACE = 0x00FFFF00;
constexpr COLORREF SCREEN_BACK = 0x00000000;
constexpr COLORREF SCREEN_AXES = 0x00FFFFFF;
constexpr COLORREF SCREEN_LABELS = 0x00FFFFFF;
constexpr COLORREF PRINT_TRACE = 0x00000000;
constexpr COLORREF PRINT_BACK = 0x00FFFFFF;
constexpr COLORREF PRINT_AXES = 0x00808080;
constexpr COLORREF PRINT_LABELS = 0x00000000;
constexpr COLORREF PRINT_CAPTION = 0x00000000;
constexpr COLORREF GRID_GREY = 0x00808080;

// The 36 property writes of set-up, in their order, none merged.
void ApplyChartDisplaySettings(CStrip& chart);

// Labels 0 and 1 (the axis titles) to crLabels: select, colour, select, colour.
void SetAxisLabelColours(CStrip& chart, COLORREF crLabels);

// The ten writes of a colour switch: trace; back colour and the stock BackColor; axes and text;
// grid; the axis titles.
void SetChartColours(CStrip& chart, COLORREF crTrace, COLORREF crBack, COLORREF crAxes,
                     COLORREF crLabels);
