#include "ui/ChartSetup.h"

#include "data/FieldSample.h"
#include "ui/Strip.h"

void ApplyChartDisplaySettings(CStrip& chart) {
    chart.SetPropertyI4(14, static_cast<LONG>(SCREEN_TRACE));
    chart.SetPropertyI4(21, 3);
    chart.SetPropertyI4(88, 1);
    chart.SetPropertyI4(11, MAX_FIELD_SAMPLES);
    chart.SetPropertyI4(31, static_cast<LONG>(SCREEN_BACK));
    chart.SetPropertyI4(DISPID_BACKCOLOR, static_cast<LONG>(SCREEN_BACK));
    chart.SetPropertyI4(28, static_cast<LONG>(SCREEN_AXES));
    chart.SetPropertyI4(34, static_cast<LONG>(SCREEN_AXES));
    chart.SetPropertyI2(81, 8);
    chart.SetPropertyI4(25, static_cast<LONG>(GRID_GREY));
    chart.SetPropertyI2(70, 0);
    chart.SetPropertyI4(2, 0);
    chart.SetPropertyI4(1, 0);
    chart.SetPropertyI2(26, 20);
    chart.SetPropertyI2(27, 4);
    chart.SetPropertyBool(111, false);
    chart.SetPropertyI2(23, 2);
    chart.SetPropertyBstr(89, "%H:%M:%S");
    chart.SetPropertyBstr(90, "%H:%M");
    chart.SetPropertyBstr(91, "%H:%M");
    chart.SetPropertyBstr(92, "%m/%d/%y");
    chart.SetPropertyBstr(95, "%b,%y");
    chart.SetPropertyBstr(93, "%Y");
    chart.SetPropertyBstr(94, "");
    chart.SetPropertyI2(4, 0);
    chart.SetPropertyI4(1, 0);
    chart.SetPropertyI4(2, 0);
    chart.SetPropertyI2(3, 0);
    chart.SetPropertyR8(6, 0.04);
    chart.SetPropertyR8(5, 0.91);
    chart.SetPropertyR8(7, 0.06);
    chart.SetPropertyR8(8, 0.97);
    chart.SetPropertyI2(58, 0);
    chart.SetPropertyI4(56, static_cast<LONG>(SCREEN_LABELS));
    chart.SetPropertyI2(58, 1);
    chart.SetPropertyI4(56, static_cast<LONG>(SCREEN_LABELS));
}

void SetChartColours(CStrip& chart, COLORREF crTrace, COLORREF crBack, COLORREF crAxes,
                     COLORREF crLabels) {
    chart.SetPropertyI4(14, static_cast<LONG>(crTrace));
    chart.SetPropertyI4(31, static_cast<LONG>(crBack));
    chart.SetPropertyI4(DISPID_BACKCOLOR, static_cast<LONG>(crBack));
    chart.SetPropertyI4(28, static_cast<LONG>(crAxes));
    chart.SetPropertyI4(34, static_cast<LONG>(crAxes));
    chart.SetPropertyI4(25, static_cast<LONG>(GRID_GREY));
    chart.SetPropertyI2(58, 0);
    chart.SetPropertyI4(56, static_cast<LONG>(crLabels));
    chart.SetPropertyI2(58, 1);
    chart.SetPropertyI4(56, static_cast<LONG>(crLabels));
}
