#pragma once
// CStrip: the program's wrapper of the strip-chart component, and ChartId, the component's
// members by number.
//
// The program writes properties and calls methods. Each goes out through the component's one
// dispatch entry point as a DISPID with VARIANT arguments, as an Automation client calls a hosted
// control. The numbers appear here and nowhere else: callers name a member by its role
// (ChartId::TraceColour), and the chart maps each number to a field of its state in one table
// (ChartModel.cpp). What the viewer adds beyond those members (the view, the alarm levels, the
// cursor, the flash marks, readings appended while a file is followed) goes through typed
// operations of the same interface, never through the chart's state. The wrapper is a plain object,
// not a widget: the window binds it to the hosted chart, and before that (or after unbinding) calls
// go nowhere.

#include "chart/ChartState.h"
#include "data/FieldSample.h"
#include "platform/Automation.h"

#include <cstddef>
#include <span>

// The one door of a chart component. Arguments come in their natural order.
class IChartDispatch {
public:
    virtual ~IChartDispatch() = default;
    // The numbered properties and methods.
    virtual HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) = 0;

    // Beside the dispatch, as a dual interface offers its own: what the viewer changes itself.
    // The ranges on screen (a zoom, a fitted or fixed value scale).
    virtual void SetView(const CChartView& view) = 0;
    virtual void SetAlarmLevels(const CAlarmLevels& alarms) = 0;
    // The cursor line at dTime, or none.
    virtual void SetCursor(bool bShow, double dTime) = 0;
    // Probable flashes at these times (in time order), marked at the top of the plot.
    virtual void SetFlashMarks(std::span<const double> times) = 0;
    // How the value axis reads: the field in kV/m, or the potential gradient in V/m (the value
    // axis's title follows). The points stay as they are.
    virtual void SetFieldUnit(const CFieldUnit& unit) = 0;
    // Points from nFirst on become records (a followed file read on): the points before nFirst
    // stay, those after are dropped first.
    virtual void ReplacePointsFrom(std::size_t nFirst, std::span<const FieldSample> records) = 0;
    // What the chart shows, to read.
    [[nodiscard]] virtual const CChartState& State() const = 0;
};

// The chart's properties and methods. Members marked "kept" are written by the program and held
// by the chart, which draws nothing from them.
enum class ChartId : DISPID {
    Kept1 = 1, // VT_I4
    Kept2 = 2, // VT_I4
    Kept3 = 3, // VT_I2
    Kept4 = 4, // VT_I2
    PlotBottom = 5,
    PlotTop = 6,
    PlotLeft = 7,
    PlotRight = 8,
    PointCapacity = 11, // kept: the most points a load hands over
    TraceColour = 14,
    Kept21 = 21,   // VT_I4
    TimeSpan = 22, // kept: the time range's width in days
    Kept23 = 23,   // VT_I2
    TimeEnd = 24,  // kept: the upper bound of the data's day
    GridColour = 25,
    Kept26 = 26, // VT_I2
    Kept27 = 27, // VT_I2
    AxisColour = 28,
    BackColour = 31,
    ValueMin = 32,
    ValueMax = 33,
    TextColour = 34,
    LabelColour = 56,
    LabelSelect = 58,
    LabelCount = 59,
    LabelX = 60,
    LabelY = 61,
    Kept70 = 70, // VT_I2
    Kept81 = 81, // VT_I2
    Kept88 = 88, // VT_I4
    FormatSeconds = 89,
    FormatMinutes = 90,
    FormatHours = 91,
    FormatDays = 92,
    FormatYears = 93,
    FormatWeeks = 94,
    FormatMonths = 95,
    TimeMax = 101,
    TimeMin = 102,
    Kept111 = 111, // VT_BOOL
    ClearPoints = 127,
    SetPoints = 129,
    DrawToDC = 140,
    StockBackColor = DISPID_BACKCOLOR,
    StockCaption = DISPID_CAPTION,
};

[[nodiscard]] constexpr DISPID DispidOf(ChartId id) {
    return static_cast<DISPID>(id);
}

class CStrip {
public:
    CStrip() = default;
    CStrip(const CStrip&) = delete;
    CStrip& operator=(const CStrip&) = delete;

    void Attach(IChartDispatch* pTarget) { m_pTarget = pTarget; }
    void Detach() { m_pTarget = nullptr; }
    [[nodiscard]] IChartDispatch* GetTarget() const { return m_pTarget; }
    [[nodiscard]] bool IsBound() const { return m_pTarget != nullptr; }

    // Property writes, one request each, in the type given.
    void SetPropertyI2(ChartId id, SHORT nValue);
    void SetPropertyI4(ChartId id, LONG nValue);
    void SetPropertyR8(ChartId id, double dValue);
    void SetPropertyBool(ChartId id, bool bValue);
    void SetPropertyBstr(ChartId id, const std::string& strValue);

    // Discards the points.
    void ClearPoints();
    // All points in one call: nZero is 0, pvarPoints a VT_ARRAY | VT_R8 VARIANT of 2 x N doubles.
    void SetPoints(SHORT nZero, VARIANT* pvarPoints);
    // Draws the chart onto a device context at offsets and a size in inches.
    void DrawToDC(LONG hDC, double dLeft, double dTop, double dWidth, double dHeight);

    // The typed operations, to the bound chart.
    void SetView(const CChartView& view);
    void SetAlarmLevels(const CAlarmLevels& alarms);
    void SetCursor(bool bShow, double dTime);
    void SetFlashMarks(std::span<const double> times);
    void SetFieldUnit(const CFieldUnit& unit);
    void ReplacePointsFrom(std::size_t nFirst, std::span<const FieldSample> records);
    // The bound chart's state; an empty one when none is bound.
    [[nodiscard]] const CChartState& State() const;

private:
    void Put(ChartId id, const VARIANT& var);
    void Call(ChartId id, const VARIANT* pArgs, UINT nArgs);

    IChartDispatch* m_pTarget = nullptr;
};
