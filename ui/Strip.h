#pragma once
// CStrip: the program's wrapper of the strip-chart component, and its one instance g_Chart.
//
// The program only writes properties and calls methods, each known by its DISPID; every call
// goes through the single dispatch entry point of whatever component is bound. g_Chart is a plain
// global (it exists before the application object), so it is not a widget itself: the main window
// binds it to the hosted chart control, and before that (or after unbinding) calls go nowhere.

#include "platform/Automation.h"

// The one entry point a chart component offers. Arguments come in their natural order.
class IChartDispatch {
public:
    virtual ~IChartDispatch() = default;
    virtual HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) = 0;
};

class CStrip {
public:
    CStrip() = default;
    CStrip(const CStrip&) = delete;
    CStrip& operator=(const CStrip&) = delete;

    void Attach(IChartDispatch* pTarget) { m_pTarget = pTarget; }
    void Detach() { m_pTarget = nullptr; }
    [[nodiscard]] IChartDispatch* GetTarget() const { return m_pTarget; }
    [[nodiscard]] bool IsBound() const { return m_pTarget != nullptr; }

    // Property writes by DISPID, one request each.
    void SetProperty(DISPID dispid, const VARIANT& var);
    void SetPropertyI2(DISPID dispid, SHORT nValue);
    void SetPropertyI4(DISPID dispid, LONG nValue);
    void SetPropertyR8(DISPID dispid, double dValue);
    void SetPropertyBool(DISPID dispid, bool bValue);
    void SetPropertyBstr(DISPID dispid, const std::string& strValue);

    // Chart method 127: discard the points.
    void InvokeMethod127();
    // Chart method 129: all points in one call; pvarPoints is a VT_ARRAY | VT_R8 VARIANT.
    void InvokeMethod129(SHORT nZero, VARIANT* pvarPoints);
    // Chart method 140: draw onto a device context at offsets and size in inches.
    void InvokeMethod140(LONG hDC, double dLeft, double dTop, double dWidth, double dHeight);

private:
    void Call(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs);

    IChartDispatch* m_pTarget = nullptr;
};

extern CStrip g_Chart;

// DISPIDs of the chart members the program uses, by role.
namespace ChartId {
constexpr DISPID PLOT_BOTTOM = 5;
constexpr DISPID PLOT_TOP = 6;
constexpr DISPID PLOT_LEFT = 7;
constexpr DISPID PLOT_RIGHT = 8;
constexpr DISPID TRACE_COLOUR = 14;
constexpr DISPID TIME_SPAN_22 = 22;
constexpr DISPID TIME_END_24 = 24;
constexpr DISPID GRID_COLOUR = 25;
constexpr DISPID AXIS_COLOUR = 28;
constexpr DISPID BACK_COLOUR = 31;
constexpr DISPID VALUE_MIN = 32;
constexpr DISPID VALUE_MAX = 33;
constexpr DISPID TEXT_COLOUR = 34;
constexpr DISPID LABEL_COLOUR = 56;
constexpr DISPID LABEL_SELECT = 58;
constexpr DISPID LABEL_COUNT = 59;
constexpr DISPID LABEL_X = 60;
constexpr DISPID LABEL_Y = 61;
constexpr DISPID FORMAT_SECONDS = 89;
constexpr DISPID FORMAT_MINUTES = 90;
constexpr DISPID FORMAT_HOURS = 91;
constexpr DISPID FORMAT_DAYS = 92;
constexpr DISPID FORMAT_YEARS = 93;
constexpr DISPID FORMAT_94 = 94;
constexpr DISPID FORMAT_MONTHS = 95;
constexpr DISPID TIME_MAX = 101;
constexpr DISPID TIME_MIN = 102;
constexpr DISPID METHOD_CLEAR = 127;
constexpr DISPID METHOD_SET_POINTS = 129;
constexpr DISPID METHOD_DRAW_TO_DC = 140;
} // namespace ChartId
