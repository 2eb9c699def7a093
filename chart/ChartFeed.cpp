#include "chart/ChartFeed.h"

#include "chart/Strip.h"
#include "platform/Automation.h"

void HandOverPoints(CStrip& chart, std::span<const FieldSample> records) {
    SAFEARRAY* psa = nullptr;
    if (SafeArrayAllocDescriptor(2, &psa) != S_OK) {
        return;
    }
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

namespace {
void HandOverRanges(CStrip& chart, const CLoadSummary& summary) {
    chart.SetPropertyR8(ChartId::ValueMax, summary.dScale);
    chart.SetPropertyR8(ChartId::ValueMin, -summary.dScale);
    chart.SetPropertyR8(ChartId::TimeEnd, summary.dTimeHigh);
    chart.SetPropertyR8(ChartId::TimeSpan, 1.0);
    chart.SetPropertyR8(ChartId::TimeMin, summary.dTimeLow);
    chart.SetPropertyR8(ChartId::TimeMax, summary.dTimeHigh);
}
} // namespace

void HandOverDay(CStrip& chart, const CFieldRead& day) {
    HandOverPoints(chart, day.records);
    HandOverRanges(chart, day.summary);
}

std::vector<CChartPoint> PreparePoints(std::span<const FieldSample> records) {
    std::vector<CChartPoint> points;
    points.reserve(records.size());
    for (const FieldSample& sample : records) {
        points.push_back({sample.dTime, sample.dValue});
    }
    return points;
}

void HandOverDay(CStrip& chart, const CFieldRead& day, std::vector<CChartPoint>& points) {
    // A copy that is not the day's whole (one that could not be made) is not handed over.
    if (points.size() != day.records.size() || !chart.TakePoints(points)) {
        HandOverPoints(chart, day.records);
    }
    HandOverRanges(chart, day.summary);
}

CFieldRead LoadFieldFile(const std::string& strPath, std::span<FieldSample> samples,
                         CStrip& chart) {
    CFieldRead day = ReadFieldFile(strPath, samples);
    if (day.Opened()) {
        HandOverDay(chart, day);
    }
    return day;
}
