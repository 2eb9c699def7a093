#include "chart/ChartFeed.h"

#include "chart/Strip.h"
#include "platform/Automation.h"

namespace {
void HandOverValueRange(CStrip& chart, double dScale) {
    chart.SetPropertyR8(ChartId::ValueMax, dScale);
    chart.SetPropertyR8(ChartId::ValueMin, -dScale);
}
} // namespace

void HandOverDay(CStrip& chart, const CDayDocument& day) {
    const std::span<const FieldSample> records = day.Records();
    SAFEARRAY* psa = nullptr;
    if (SafeArrayAllocDescriptor(2, &psa) == S_OK) {
        psa->cbElements = sizeof(double);
        psa->pvData = const_cast<FieldSample*>(records.data());           // the chart only reads it
        psa->rgsabound[0].cElements = static_cast<ULONG>(records.size()); // the record index
        psa->rgsabound[0].lLbound = 0;
        psa->rgsabound[1].cElements = 2; // 0: time, 1: value
        psa->rgsabound[1].lLbound = 0;
        VARIANT varPoints;
        varPoints.vt = VT_ARRAY | VT_R8;
        varPoints.parray = psa;
        chart.SetPoints(0, &varPoints);
        SafeArrayDestroyDescriptor(psa);
    }
    HandOverValueRange(chart, day.ValueScale());
    chart.SetPropertyR8(ChartId::TimeEnd, day.TimeHigh());
    chart.SetPropertyR8(ChartId::TimeSpan, 1.0);
    chart.SetPropertyR8(ChartId::TimeMin, day.TimeLow());
    chart.SetPropertyR8(ChartId::TimeMax, day.TimeHigh());
}

void HandOverAppended(CStrip& chart, const CDayDocument& day, std::size_t nFirst) {
    const std::span<const FieldSample> records = day.Records();
    nFirst = std::min(nFirst, records.size());
    chart.ReplacePointsFrom(nFirst, records.subspan(nFirst));
    // The value range only grows while following, so the trace never leaves the scale.
    if (day.ValueScale() != chart.State().value.dUpper) {
        HandOverValueRange(chart, day.ValueScale());
    }
}
