#include "chart/ChartSetup.h"

#include "chart/Strip.h"
#include "data/FieldSample.h"

void ApplyChartDisplaySettings(CStrip& chart) {
    chart.SetPropertyI4(ChartId::TraceColour, static_cast<LONG>(SCREEN_TRACE));
    chart.SetPropertyI4(ChartId::Kept21, 3);
    chart.SetPropertyI4(ChartId::Kept88, 1);
    chart.SetPropertyI4(ChartId::PointCapacity, MAX_FIELD_SAMPLES);
    chart.SetPropertyI4(ChartId::BackColour, static_cast<LONG>(SCREEN_BACK));
    chart.SetPropertyI4(ChartId::StockBackColor, static_cast<LONG>(SCREEN_BACK));
    chart.SetPropertyI4(ChartId::AxisColour, static_cast<LONG>(SCREEN_AXES));
    chart.SetPropertyI4(ChartId::TextColour, static_cast<LONG>(SCREEN_AXES));
    chart.SetPropertyI2(ChartId::Kept81, 8);
    chart.SetPropertyI4(ChartId::GridColour, static_cast<LONG>(GRID_GREY));
    chart.SetPropertyI2(ChartId::Kept70, 0);
    chart.SetPropertyI4(ChartId::Kept2, 0);
    chart.SetPropertyI4(ChartId::Kept1, 0);
    chart.SetPropertyI2(ChartId::Kept26, 20);
    chart.SetPropertyI2(ChartId::Kept27, 4);
    chart.SetPropertyBool(ChartId::Kept111, false);
    chart.SetPropertyI2(ChartId::Kept23, 2);
    chart.SetPropertyBstr(ChartId::FormatSeconds, "%H:%M:%S");
    chart.SetPropertyBstr(ChartId::FormatMinutes, "%H:%M");
    chart.SetPropertyBstr(ChartId::FormatHours, "%H:%M");
    chart.SetPropertyBstr(ChartId::FormatDays, "%m/%d/%y");
    chart.SetPropertyBstr(ChartId::FormatMonths, "%b,%y");
    chart.SetPropertyBstr(ChartId::FormatYears, "%Y");
    chart.SetPropertyBstr(ChartId::FormatWeeks, "");
    chart.SetPropertyI2(ChartId::Kept4, 0);
    chart.SetPropertyI4(ChartId::Kept1, 0);
    chart.SetPropertyI4(ChartId::Kept2, 0);
    chart.SetPropertyI2(ChartId::Kept3, 0);
    chart.SetPropertyR8(ChartId::PlotTop, 0.04);
    chart.SetPropertyR8(ChartId::PlotBottom, 0.91);
    chart.SetPropertyR8(ChartId::PlotLeft, 0.06);
    chart.SetPropertyR8(ChartId::PlotRight, 0.97);
    SetAxisLabelColours(chart, SCREEN_LABELS);
}

void SetAxisLabelColours(CStrip& chart, COLORREF crLabels) {
    chart.SetPropertyI2(ChartId::LabelSelect, 0);
    chart.SetPropertyI4(ChartId::LabelColour, static_cast<LONG>(crLabels));
    chart.SetPropertyI2(ChartId::LabelSelect, 1);
    chart.SetPropertyI4(ChartId::LabelColour, static_cast<LONG>(crLabels));
}

void SetChartColours(CStrip& chart, COLORREF crTrace, COLORREF crBack, COLORREF crAxes,
                     COLORREF crLabels) {
    chart.SetPropertyI4(ChartId::TraceColour, static_cast<LONG>(crTrace));
    chart.SetPropertyI4(ChartId::BackColour, static_cast<LONG>(crBack));
    chart.SetPropertyI4(ChartId::StockBackColor, static_cast<LONG>(crBack));
    chart.SetPropertyI4(ChartId::AxisColour, static_cast<LONG>(crAxes));
    chart.SetPropertyI4(ChartId::TextColour, static_cast<LONG>(crAxes));
    chart.SetPropertyI4(ChartId::GridColour, static_cast<LONG>(GRID_GREY));
    SetAxisLabelColours(chart, crLabels);
}
