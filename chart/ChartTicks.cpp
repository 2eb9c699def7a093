#include "chart/ChartTicks.h"

#include "chart/ChartTimeFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {
// Spans shorter than this label their minutes with seconds.
constexpr double SECONDS_SPAN = 10.0 / 1440.0;
// Lines closer than this many label heights (value axis) are too dense.
constexpr double VALUE_LABEL_SPACING = 2.0;
// Time labels need their own width plus this share of it as a gap.
constexpr double TIME_LABEL_GAP = 0.5;
constexpr int MAX_DECIMALS = 12;
// Value labels are written with an exponent below this power of ten of the step, and from this
// magnitude up: plain, they would run to more characters than the axis has room for.
constexpr int MIN_PLAIN_STEP_POWER = -4;
constexpr double MIN_EXPONENT_VALUE = 1e5;
// Beyond this many units a tick's digits are no longer exact in a double.
constexpr double MAX_EXACT_DIGITS = 9e15;
// Relative slack when deciding whether a tick lies on a bound.
constexpr double TICK_EPSILON = 1e-9;
// Years per step at most; beyond it day numbers have no date to show anyway.
constexpr double MAX_YEAR_STEP = 1e8;
constexpr int MAX_TICKS = MAX_TICK_INTERVALS + 1;

struct CTimeStep {
    ETimeUnit eUnit;
    double dCount; // units per step
};

constexpr CTimeStep TIME_STEPS[] = {
    {ETimeUnit::Second, 1},  {ETimeUnit::Second, 2},  {ETimeUnit::Second, 5},
    {ETimeUnit::Second, 10}, {ETimeUnit::Second, 15}, {ETimeUnit::Second, 30},
    {ETimeUnit::Minute, 1},  {ETimeUnit::Minute, 2},  {ETimeUnit::Minute, 5},
    {ETimeUnit::Minute, 10}, {ETimeUnit::Minute, 15}, {ETimeUnit::Minute, 30},
    {ETimeUnit::Hour, 1},    {ETimeUnit::Hour, 2},    {ETimeUnit::Hour, 3},
    {ETimeUnit::Hour, 6},    {ETimeUnit::Hour, 12},   {ETimeUnit::Day, 1},
    {ETimeUnit::Day, 2},     {ETimeUnit::Week, 1},    {ETimeUnit::Week, 2},
    {ETimeUnit::Month, 1},   {ETimeUnit::Month, 2},   {ETimeUnit::Month, 3},
    {ETimeUnit::Month, 6},
};

double DaysOf(ETimeUnit eUnit) {
    switch (eUnit) {
    case ETimeUnit::Second:
        return 1.0 / SECONDS_PER_DAY;
    case ETimeUnit::Minute:
        return 1.0 / 1440.0;
    case ETimeUnit::Hour:
        return 1.0 / 24.0;
    case ETimeUnit::Day:
        return 1.0;
    case ETimeUnit::Week:
        return 7.0;
    case ETimeUnit::Month:
        return DAYS_PER_CHART_MONTH;
    case ETimeUnit::Year:
        return DAYS_PER_CHART_YEAR;
    }
    return 1.0;
}

// The step's size as a whole number of units over a divisor, so tick k sits at k * n / d days
// without a rounding error that grows with k.
void StepFraction(ETimeUnit eUnit, double dCount, double* pdNumerator, double* pdDenominator) {
    switch (eUnit) {
    case ETimeUnit::Second:
        *pdNumerator = dCount;
        *pdDenominator = SECONDS_PER_DAY;
        return;
    case ETimeUnit::Minute:
        *pdNumerator = dCount;
        *pdDenominator = 1440.0;
        return;
    case ETimeUnit::Hour:
        *pdNumerator = dCount;
        *pdDenominator = 24.0;
        return;
    default:
        *pdNumerator = DaysOf(eUnit) * dCount;
        *pdDenominator = 1.0;
        return;
    }
}

const std::string& FormatOf(const CTimeFormats& formats, ETimeUnit eUnit) {
    switch (eUnit) {
    case ETimeUnit::Second:
        return formats.strSeconds;
    case ETimeUnit::Minute:
        return formats.strMinutes;
    case ETimeUnit::Hour:
        return formats.strHours;
    case ETimeUnit::Year:
        return formats.strYears;
    case ETimeUnit::Week:
        return formats.strWeeks.empty() ? formats.strDays : formats.strWeeks;
    case ETimeUnit::Month:
        return formats.strMonths;
    case ETimeUnit::Day:
        break;
    }
    return formats.strDays;
}

// Tick times of one step inside the range, in order.
std::vector<double> TickTimes(const CChartRange& range, ETimeUnit eUnit, double dCount) {
    std::vector<double> times;
    const double dSlack = DaysOf(eUnit) * dCount * TICK_EPSILON;
    if (eUnit == ETimeUnit::Month) {
        // Months start at 31-day offsets within each 365-day year, so they are no lattice.
        const double dFirstYear = std::floor((range.dLower - dSlack) / DAYS_PER_CHART_YEAR);
        const double dLastYear = std::floor((range.dUpper + dSlack) / DAYS_PER_CHART_YEAR);
        const int nMonthStep = static_cast<int>(dCount);
        // A month step spans at most a few years; the count also ends the loop where the
        // years are too large to count in steps of one.
        int nYears = 0;
        for (double dYear = dFirstYear; dYear <= dLastYear && nYears < MAX_TICKS; dYear += 1.0) {
            ++nYears;
            for (int nMonth = 0; nMonth < 12; nMonth += nMonthStep) {
                const double dAt = dYear * DAYS_PER_CHART_YEAR + nMonth * DAYS_PER_CHART_MONTH;
                if (dAt >= range.dLower - dSlack && dAt <= range.dUpper + dSlack) {
                    times.push_back(dAt);
                }
            }
        }
        return times;
    }
    double dNumerator = 0.0;
    double dDenominator = 1.0;
    StepFraction(eUnit, dCount, &dNumerator, &dDenominator);
    const double dStep = dNumerator / dDenominator;
    const double dFirst = std::ceil(range.dLower / dStep - TICK_EPSILON);
    const double dLast = std::floor(range.dUpper / dStep + TICK_EPSILON);
    // The cap also ends the loop where k + 1 == k.
    for (double k = dFirst; k <= dLast && static_cast<int>(times.size()) < MAX_TICKS; k += 1.0) {
        times.push_back(k * dNumerator / dDenominator);
    }
    return times;
}

// dDigits x 10^nPower as printf's %g writes it, with the digits dDigits (a whole number) needs:
// "-1.5e-22", "2e+06", "0".
std::string FormatWithExponent(double dDigits, int nPower) {
    if (dDigits == 0.0) {
        return "0";
    }
    auto n = static_cast<long long>(std::llround(std::fabs(dDigits)));
    while (n % 10 == 0) {
        n /= 10;
        ++nPower;
    }
    const std::string strDigits = std::to_string(n);
    const int nExponent = nPower + static_cast<int>(strDigits.size()) - 1;
    std::string str = dDigits < 0 ? "-" : "";
    str += strDigits[0];
    if (strDigits.size() > 1) {
        str += "." + strDigits.substr(1);
    }
    const std::string strExponent = std::to_string(std::abs(nExponent));
    return str + (nExponent < 0 ? "e-" : "e+") + (strExponent.size() < 2 ? "0" : "") + strExponent;
}

CTimeTicks LabelTicks(const CChartRange& range, const CTimeStep& step,
                      const CTimeFormats& formats) {
    const ETimeUnit eUnit = step.eUnit;
    CTimeTicks result;
    result.dStep = DaysOf(eUnit) * step.dCount;
    result.eUnit = eUnit;
    // A span of under ten minutes (a zoomed view) reads to the second whatever the step.
    const bool bSeconds = eUnit == ETimeUnit::Minute && range.Span() < SECONDS_SPAN;
    const std::string& strFormat = FormatOf(formats, bSeconds ? ETimeUnit::Second : eUnit);
    const bool bClockUnit = result.dStep < 1.0;
    for (double dAt : TickTimes(range, eUnit, step.dCount)) {
        const bool bEnd =
            bClockUnit && dAt == range.dUpper && dAt == std::floor(dAt) && dAt > range.dLower;
        result.ticks.push_back({dAt, FormatChartTime(dAt, strFormat, bEnd)});
    }
    return result;
}

bool Fits(const CTimeTicks& ticks, const CChartRange& range, double dPixels,
          const CTextWidthFn& fnTextWidth) {
    double dWidest = 0.0;
    for (const CChartTick& tick : ticks.ticks) {
        dWidest = std::max(dWidest, fnTextWidth ? fnTextWidth(tick.strLabel) : 0.0);
    }
    const double dSpacing = dPixels * ticks.dStep / range.Span();
    return dSpacing >= dWidest * (1.0 + TIME_LABEL_GAP);
}
} // namespace

std::string FormatTickValue(double dValue, int nDecimals) {
    nDecimals = std::clamp(nDecimals, 0, MAX_DECIMALS);
    if (!std::isfinite(dValue)) {
        return {};
    }
    char sz[400];
    const auto result =
        std::to_chars(sz, sz + sizeof sz, dValue, std::chars_format::fixed, nDecimals);
    std::string str(sz, result.ec == std::errc() ? result.ptr : sz);
    // A value that rounds to zero must not read "-0".
    if (!str.empty() && str[0] == '-' && str.find_first_not_of("0.", 1) == std::string::npos) {
        str.erase(0, 1);
    }
    return str;
}

CValueTicks ChooseValueTicks(const CChartRange& range, double dPixels, double dLabelHeight) {
    CValueTicks result;
    if (!(range.dUpper > range.dLower) || !std::isfinite(range.dLower) ||
        !std::isfinite(range.dUpper)) {
        return result;
    }
    int nIntervals = MAX_TICK_INTERVALS;
    if (dLabelHeight > 0.0 && std::isfinite(dPixels)) {
        const double dRoom = std::floor(dPixels / (dLabelHeight * VALUE_LABEL_SPACING));
        nIntervals = static_cast<int>(std::clamp(dRoom, 1.0, double(MAX_TICK_INTERVALS)));
    }
    // Each bound divided first: the span of the widest finite range overflows.
    const double dRaw = range.dUpper / nIntervals - range.dLower / nIntervals;
    if (!(dRaw > 0.0) || !std::isfinite(dRaw)) {
        return result;
    }
    int nPower = static_cast<int>(std::floor(std::log10(dRaw)));
    int nMultiple = 1;
    double dStep = 0.0;
    for (const int nTry : {1, 2, 5, 10}) {
        nMultiple = nTry;
        dStep = nTry * std::pow(10.0, nPower);
        if (dStep >= dRaw * (1.0 - TICK_EPSILON)) {
            break;
        }
    }
    if (nMultiple == 10) {
        nMultiple = 1;
        ++nPower;
    }
    if (!(dStep > 0.0) || !std::isfinite(dStep)) {
        return result;
    }
    result.dStep = dStep;
    result.nDecimals = std::clamp(static_cast<int>(-std::floor(std::log10(dStep) + TICK_EPSILON)),
                                  0, MAX_DECIMALS);
    const double dFirst = std::ceil(range.dLower / dStep - TICK_EPSILON);
    const double dLast = std::floor(range.dUpper / dStep + TICK_EPSILON);
    const bool bExponent =
        nPower < MIN_PLAIN_STEP_POWER ||
        std::max(std::fabs(dFirst), std::fabs(dLast)) * dStep >= MIN_EXPONENT_VALUE;
    for (double k = dFirst; k <= dLast && static_cast<int>(result.ticks.size()) < MAX_TICKS;
         k += 1.0) {
        const double dAt = k * dStep;
        std::string strLabel;
        if (!bExponent) {
            strLabel = FormatTickValue(dAt, result.nDecimals);
        } else if (std::fabs(k * nMultiple) < MAX_EXACT_DIGITS) {
            strLabel = FormatWithExponent(k * nMultiple, nPower);
        } else {
            // A span far narrower than its distance from zero: what the double holds.
            char sz[32];
            const auto written = std::to_chars(sz, sz + sizeof sz, dAt);
            strLabel.assign(sz, written.ec == std::errc() ? written.ptr : sz);
        }
        result.ticks.push_back({dAt, std::move(strLabel)});
    }
    return result;
}

CValueTicks ChooseShownValueTicks(const CChartRange& range, const CFieldUnit& unit, double dPixels,
                                  double dLabelHeight) {
    const double dScale = unit.Scale();
    if (dScale == 1.0) {
        return ChooseValueTicks(range, dPixels, dLabelHeight);
    }
    const double dLow = range.dLower * dScale;
    const double dHigh = range.dUpper * dScale;
    CValueTicks ticks =
        ChooseValueTicks({std::min(dLow, dHigh), std::max(dLow, dHigh)}, dPixels, dLabelHeight);
    for (CChartTick& tick : ticks.ticks) {
        tick.dAt /= dScale;
    }
    if (dScale < 0.0) {
        std::reverse(ticks.ticks.begin(), ticks.ticks.end());
    }
    return ticks;
}

CTimeTicks ChooseTimeTicks(const CChartRange& range, double dPixels, const CTimeFormats& formats,
                           const CTextWidthFn& fnTextWidth) {
    const double dSpan = range.Span();
    if (!(dSpan > 0.0) || !std::isfinite(dSpan) || !(dPixels > 0.0)) {
        return {};
    }
    // The calendar's steps, then years at 1, 2 or 5 times a power of ten.
    std::vector<CTimeStep> steps(std::begin(TIME_STEPS), std::end(TIME_STEPS));
    for (double dMagnitude = 1.0; dMagnitude < MAX_YEAR_STEP; dMagnitude *= 10.0) {
        for (double dMultiple : {1.0, 2.0, 5.0}) {
            steps.push_back({ETimeUnit::Year, dMultiple * dMagnitude});
        }
    }
    // A step that fits with a single label only serves when no step gives two.
    CTimeTicks single;
    for (const CTimeStep& step : steps) {
        if (dSpan / (DaysOf(step.eUnit) * step.dCount) >
            MAX_TICK_INTERVALS * (1.0 + TICK_EPSILON)) {
            continue;
        }
        CTimeTicks ticks = LabelTicks(range, step, formats);
        if (ticks.ticks.empty() || !Fits(ticks, range, dPixels, fnTextWidth)) {
            continue;
        }
        if (ticks.ticks.size() >= 2) {
            return ticks;
        }
        if (single.ticks.empty()) {
            single = std::move(ticks);
        }
    }
    return single;
}
