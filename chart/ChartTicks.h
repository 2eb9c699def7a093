#pragma once
// Choosing the grid lines and their labels. The value axis gets evenly spaced lines 1, 2 or 5
// times a power of ten apart; the time axis gets lines on whole seconds, minutes, hours, days,
// weeks, months or years of the chart's calendar, labelled with the format for that unit.
//
// Both choices are pure functions of the range, the room in pixels and the size of the text, so
// the drawing code only measures text and places what these return.

#include "chart/ChartGeometry.h"
#include "data/FieldUnit.h"

#include <functional>
#include <string>
#include <vector>

struct CChartTick {
    double dAt = 0.0; // time or value
    std::string strLabel;
};

// At most this many intervals between grid lines on either axis, so the chart stays readable.
constexpr int MAX_TICK_INTERVALS = 10;

struct CValueTicks {
    double dStep = 0.0;
    int nDecimals = 0;
    std::vector<CChartTick> ticks; // lowest first
};

// Ticks for a (normalised) value range drawn dPixels high with labels dLabelHeight high: the
// smallest 1-2-5 step that gives at most MAX_TICK_INTERVALS intervals and leaves at least two
// label heights between lines. Labels use as many decimals as the step needs; where that would
// take more than four decimals, or a label reaches 100000, they are written with an exponent as
// %g writes them ("-1.5e-22", "2e+06"), so that a tiny or a huge scale still has short labels.
[[nodiscard]] CValueTicks ChooseValueTicks(const CChartRange& range, double dPixels,
                                           double dLabelHeight);

// The same for values read through unit (the potential gradient: -1000 x the field): the ticks are
// chosen and labelled on the values as shown, each placed at its logged value, lowest logged
// value first.
[[nodiscard]] CValueTicks ChooseShownValueTicks(const CChartRange& range, const CFieldUnit& unit,
                                                double dPixels, double dLabelHeight);

// Writes a tick value with nDecimals decimals and a point, whatever the locale; never "-0".
[[nodiscard]] std::string FormatTickValue(double dValue, int nDecimals);

// The calendar units time labels step by; each has its label format.
enum class ETimeUnit { Second, Minute, Hour, Day, Week, Month, Year };

// The time-label formats, one per unit (an empty weeks format means the days format).
struct CTimeFormats {
    std::string strSeconds = "%H:%M:%S";
    std::string strMinutes = "%H:%M";
    std::string strHours = "%H:%M";
    std::string strDays = "%m/%d/%y";
    std::string strYears = "%Y";
    std::string strWeeks;
    std::string strMonths = "%b,%y";
};

struct CTimeTicks {
    double dStep = 0.0;               // nominal step in days (a month counts 31)
    ETimeUnit eUnit = ETimeUnit::Day; // whose format the labels use
    std::vector<CChartTick> ticks;
};

// Measures the width of a label in pixels.
using CTextWidthFn = std::function<double(const std::string&)>;

// Ticks for a (normalised) time range drawn dPixels wide: the finest step of the calendar that
// gives at most MAX_TICK_INTERVALS intervals and room for its widest label and a gap, labelled
// with the format of the step's unit. A label at the range's end that falls on midnight reads 24:00
// when the step is below a day, so one day reads 00:00 ... 24:00.
[[nodiscard]] CTimeTicks ChooseTimeTicks(const CChartRange& range, double dPixels,
                                         const CTimeFormats& formats,
                                         const CTextWidthFn& fnTextWidth);
