#pragma once
// CChartState: everything the strip chart shows, as named fields. The dispatch table
// (ChartModel.cpp) writes it, the renderer reads it; nothing else holds chart state.
//
// The view is the part of the data's ranges that is on screen. It follows the data's ranges until
// something zooms or pans it, so a chart that nobody zooms shows exactly what was written.

#include "chart/ChartGeometry.h"
#include "chart/ChartTicks.h"
#include "chart/ChartTrace.h"
#include "data/FieldUnit.h"
#include "platform/WinTypes.h"

#include <string>
#include <vector>

struct CChartLabel {
    std::string strText;
    COLORREF crColour = 0x00FFFFFF;
    double dX = 0.0; // fraction of the chart's width
    double dY = 0.0; // fraction of the chart's height
};

// Labels 0 to MAX_CHART_LABELS - 1 can be selected and shown.
constexpr int MAX_CHART_LABELS = 16;
// The label that shows the stock caption.
constexpr int CAPTION_LABEL = 2;

// Values the program writes that the chart keeps without drawing anything from them.
struct CKeptValues {
    LONG n1 = 0;
    LONG n2 = 0;
    SHORT n3 = 0;
    SHORT n4 = 0;
    LONG n21 = 0;
    SHORT n23 = 0;
    SHORT n26 = 0;
    SHORT n27 = 0;
    SHORT n70 = 0;
    SHORT n81 = 0;
    LONG n88 = 0;
    bool b111 = false;
    LONG nPointCapacity = 0;
    double dTimeSpan = 1.0;
    double dTimeEnd = 0.0;
};

// The ranges on screen, each the data's own until something sets it (a zoom, a fitted or fixed
// value scale).
struct CChartView {
    bool bTimeSet = false;
    CChartRange time = DEFAULT_TIME_RANGE;
    bool bValueSet = false;
    CChartRange value = DEFAULT_VALUE_RANGE;
};

// Alarm levels in kV/m; 0 is a level not set.
struct CAlarmLevels {
    double dWarning = 0.0;
    double dAlert = 0.0;
    [[nodiscard]] bool Any() const { return dWarning > 0.0 || dAlert > 0.0; }
};

// What the window draws over the chart, beyond what the program writes through the dispatch.
struct CChartOverlay {
    CAlarmLevels alarms;
    bool bCursor = false;
    double dCursorTime = 0.0;
    std::vector<double> flashes; // probable flashes, in time order
};

struct CChartState {
    CChartState();

    COLORREF crTrace = 0x00FFFF00;
    COLORREF crBack = 0x00000000;
    COLORREF crAxes = 0x00FFFFFF;
    COLORREF crText = 0x00FFFFFF;
    COLORREF crGrid = 0x00808080;

    CPlotFractions plot;
    CChartRange time = DEFAULT_TIME_RANGE;   // of the data, as written
    CChartRange value = DEFAULT_VALUE_RANGE; // likewise
    CChartView view;
    CTimeFormats formats;

    std::vector<CChartLabel> labels; // 0 "kV / m", 1 "T i m e", 2 the caption
    int nSelectedLabel = 0;
    int nShownLabels = 2;

    std::vector<CChartPoint> points;
    bool bPointsOrdered = true; // their times never go back: found by binary search
    CKeptValues kept;
    CChartOverlay overlay;
    CFieldUnit unit; // how the value axis reads the points (which stay as logged)

    // The time and value ranges to draw: the view's where set, else the data's.
    [[nodiscard]] CChartRange ShownTime() const { return view.bTimeSet ? view.time : time; }
    [[nodiscard]] CChartRange ShownValue() const { return view.bValueSet ? view.value : value; }
};
