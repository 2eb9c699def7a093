// The chart's state as the program leaves it: set-up writes, a day handed over, labels,
// malformed calls.

#include "chart/ChartFeed.h"
#include "chart/ChartModel.h"
#include "chart/ChartSetup.h"
#include "tests/TestSupport.h"
#include "tests/chart/ChartTestPoints.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace testing_support;

namespace {
HRESULT Put(IChartDispatch& chart, ChartId id, const VARIANT& var) {
    return chart.Invoke(DispidOf(id), DISPATCH_PROPERTYPUT, &var, 1);
}

// A day document feeding a chart as the window and export feed theirs.
struct CFedChart {
    std::vector<FieldSample> samples = std::vector<FieldSample>(MAX_FIELD_SAMPLES);
    CDayDocument day{samples};

    explicit CFedChart(CStrip& strip) {
        day.Listen([this, &strip](const CDayChange& change) {
            if (change.eKind == EDayChange::NewDay) {
                HandOverDay(strip, day);
            } else if (change.eKind == EDayChange::Appended) {
                HandOverAppended(strip, day, change.nFirstChanged);
            }
        });
    }
    bool Load(const std::string& strPath) { return day.Open(strPath).bOpened; }
};
} // namespace

// ---- The order of a hand-over ----------------------------------------------------------------

// The points go over in place, then the value range and the time range in the order the chart has
// always been given them: the order is itself what is tested here.
TEST(ChartFeed, PointsGoOverInPlaceThenTheScalesInOrder) {
    CTempDir dir;
    WriteFile(dir.File("day.vks"), "08:15:30,-0.45\n12:00:00,3.2\n");
    CRecordingChart chart;
    CStrip strip;
    strip.Attach(&chart);
    CFedChart fed(strip);
    ASSERT_TRUE(fed.Load(dir.File("day.vks")));

    ASSERT_EQ(chart.m_calls.size(), 7u);
    const CChartCall& call = chart.m_calls[0];
    EXPECT_EQ(call.dispid, DispidOf(ChartId::SetPoints));
    EXPECT_EQ(call.wFlags, DISPATCH_METHOD);
    ASSERT_EQ(call.args.size(), 2u);
    EXPECT_EQ(call.args[0].vt, VT_I2);
    EXPECT_EQ(call.args[0].iVal, 0);
    EXPECT_EQ(call.args[1].vt, VT_VARIANT | VT_BYREF);
    EXPECT_EQ(call.nDims, 2);
    EXPECT_EQ(call.nElementBytes, 8u);
    EXPECT_EQ(call.nRecords, 2u);
    EXPECT_EQ(call.nInnerCount, 2u);
    EXPECT_EQ(call.pData, static_cast<const void*>(fed.samples.data()));

    const std::vector<DISPID> expected = {DispidOf(ChartId::SetPoints), DispidOf(ChartId::ValueMax),
                                          DispidOf(ChartId::ValueMin),  DispidOf(ChartId::TimeEnd),
                                          DispidOf(ChartId::TimeSpan),  DispidOf(ChartId::TimeMin),
                                          DispidOf(ChartId::TimeMax)};
    EXPECT_EQ(chart.Dispids(), expected);
    const double values[] = {4.0, -4.0, 1461.0, 1.0, 1460.0, 1461.0};
    for (std::size_t i = 1; i < chart.m_calls.size(); ++i) {
        EXPECT_EQ(chart.m_calls[i].wFlags, DISPATCH_PROPERTYPUT);
        ASSERT_EQ(chart.m_calls[i].args[0].vt, VT_R8);
        EXPECT_EQ(chart.m_calls[i].args[0].dblVal, values[i - 1]) << i;
    }

    // A file that cannot be opened reaches the chart not at all.
    chart.m_calls.clear();
    EXPECT_FALSE(fed.Load(dir.File("missing.vks")));
    EXPECT_TRUE(chart.m_calls.empty());
}

// Readings appended to a followed file reach the chart by the same door as a whole day: the
// chart then holds exactly what a whole read of the file gives, and its value range has grown.
TEST(ChartFeed, AppendedReadingsLeaveTheChartAsAWholeReadDoes) {
    CTempDir dir;
    const std::string strPath = dir.File("day.vks");
    WriteFile(strPath, "08:00:00,0.5\n08:00:01,0.7\n08:00:02,0."); // the last line unfinished
    CChartModel model;
    CStrip strip;
    strip.Attach(&model);
    CFedChart fed(strip);
    ASSERT_TRUE(fed.Load(strPath));
    fed.day.StartFollowing();
    ASSERT_EQ(model.State().points.size(), 3u);

    for (const char* pszMore : {"9\n08:00:03,-4.5\n", "08:00:04,1.0\n08:00:05,2"}) {
        std::FILE* pFile = std::fopen(strPath.c_str(), "ab");
        ASSERT_NE(pFile, nullptr);
        std::fputs(pszMore, pFile);
        std::fclose(pFile);
        fed.day.Poll();
    }
    std::vector<FieldSample> whole(MAX_FIELD_SAMPLES);
    const CFieldRead read = ReadFieldFile(strPath, whole);
    // While followed, an unfinished last line waits for its end.
    ASSERT_EQ(model.State().points.size(), read.records.size() - 1);
    for (std::size_t i = 0; i + 1 < read.records.size(); ++i) {
        EXPECT_EQ(model.State().points[i].dTime, read.records[i].dTime) << i;
        EXPECT_EQ(model.State().points[i].dValue, read.records[i].dValue) << i;
    }
    EXPECT_EQ(model.State().value.dUpper, 5.0);
    EXPECT_EQ(model.State().value.dLower, -5.0);
    EXPECT_EQ(fed.day.Extremes().min.dValue, -4.5);
    EXPECT_EQ(fed.day.Extremes().max.dValue, 1.0);
}

// ---- The state the writes leave --------------------------------------------------------------

TEST(ChartModel, HoldsTheSetUpWritesAndALoad) {
    CChartModel model;
    CStrip strip;
    strip.Attach(&model);
    ApplyChartDisplaySettings(strip);

    const CChartState& state = model.State();
    EXPECT_EQ(state.crTrace, SCREEN_TRACE);
    EXPECT_EQ(state.crBack, SCREEN_BACK);
    EXPECT_EQ(state.crAxes, SCREEN_AXES);
    EXPECT_EQ(state.crText, SCREEN_AXES);
    EXPECT_EQ(state.crGrid, GRID_GREY);
    EXPECT_EQ(state.plot.dTop, 0.04);
    EXPECT_EQ(state.plot.dBottom, 0.91);
    EXPECT_EQ(state.plot.dLeft, 0.06);
    EXPECT_EQ(state.plot.dRight, 0.97);
    EXPECT_EQ(state.formats.strSeconds, "%H:%M:%S");
    EXPECT_EQ(state.formats.strMonths, "%b,%y");
    EXPECT_EQ(state.formats.strWeeks, "");
    // What the chart keeps without drawing it.
    EXPECT_EQ(state.kept.nPointCapacity, MAX_FIELD_SAMPLES);
    EXPECT_EQ(state.kept.n21, 3);
    EXPECT_EQ(state.kept.n26, 20);
    EXPECT_EQ(state.kept.n81, 8);
    EXPECT_FALSE(state.kept.b111);
    ASSERT_GE(state.labels.size(), 2u);
    EXPECT_EQ(state.labels[0].strText, "kV / m");
    EXPECT_EQ(state.labels[1].strText, "T i m e");
    EXPECT_EQ(state.labels[1].dY, 0.98);
    EXPECT_EQ(state.labels[1].crColour, SCREEN_LABELS);
    EXPECT_EQ(state.nShownLabels, 2);
    EXPECT_EQ(state.nSelectedLabel, 1);

    CTempDir dir;
    WriteFile(dir.File("day.vks"), "00:00:00,1.5\n12:00:00,-2.25\n23:59:59,nan\n");
    CFedChart fed(strip);
    ASSERT_TRUE(fed.Load(dir.File("day.vks")));
    ASSERT_EQ(state.points.size(), 3u);
    EXPECT_EQ(state.points[1].dTime, 1460.5);
    EXPECT_EQ(state.points[1].dValue, -2.25);
    EXPECT_EQ(state.value.dUpper, 3.0);
    EXPECT_EQ(state.time.dLower, 1460.0);
    EXPECT_EQ(state.time.dUpper, 1461.0);
    EXPECT_EQ(state.kept.dTimeEnd, 1461.0);
    // The chart holds its own copy: the next load's overwriting cannot change what shows.
    fed.samples[1].dValue = 99.0;
    EXPECT_EQ(state.points[1].dValue, -2.25);
}

TEST(ChartModel, MalformedCallsAreIgnored) {
    CChartModel model;
    const CChartState& state = model.State();
    CPointArray good({{1460.0, 1.0}, {1460.5, 2.0}});
    ASSERT_EQ(good.SendTo(model), S_OK);

    struct {
        const char* pszCase;
        void (*Spoil)(CPointArray&);
    } cases[] = {
        {"one dimension", [](CPointArray& a) { a.m_psa->cDims = 1; }},
        {"floats", [](CPointArray& a) { a.m_psa->cbElements = 4; }},
        {"three per point", [](CPointArray& a) { a.m_psa->rgsabound[1].cElements = 3; }},
        {"no data", [](CPointArray& a) { a.m_psa->pvData = nullptr; }},
        {"too many", [](CPointArray& a) { a.m_psa->rgsabound[0].cElements = 0xFFFFFFFF; }},
        {"not an array", [](CPointArray& a) { a.m_var.vt = VT_R8; }},
        {"array of I4", [](CPointArray& a) { a.m_var.vt = VT_ARRAY | VT_I4; }},
        {"no descriptor", [](CPointArray& a) { a.m_var.parray = nullptr; }},
    };
    for (const auto& c : cases) {
        CPointArray bad({{1461.0, 7.0}});
        c.Spoil(bad);
        EXPECT_EQ(bad.SendTo(model), E_INVALIDARG) << c.pszCase;
        ASSERT_EQ(state.points.size(), 2u) << c.pszCase;
    }
    // Wrong argument lists.
    const DISPID SET_POINTS = DispidOf(ChartId::SetPoints);
    EXPECT_EQ(model.Invoke(SET_POINTS, DISPATCH_METHOD, nullptr, 2), E_INVALIDARG);
    const VARIANT nullRef[2] = {MakeVariantI2(0), MakeVariantRef(nullptr)};
    EXPECT_EQ(model.Invoke(SET_POINTS, DISPATCH_METHOD, nullRef, 2), E_INVALIDARG);
    EXPECT_EQ(state.points[1].dValue, 2.0);

    // Property writes of the wrong type, out of range or to no member are refused as well.
    const auto nRevision = model.Revision();
    EXPECT_EQ(Put(model, ChartId::LabelSelect, MakeVariantI2(MAX_CHART_LABELS)), E_INVALIDARG);
    EXPECT_EQ(Put(model, ChartId::TraceColour, MakeVariantBstr("cyan")), E_INVALIDARG);
    EXPECT_EQ(Put(model, ChartId::FormatSeconds, MakeVariantI4(5)), E_INVALIDARG);
    EXPECT_EQ(Put(model, ChartId::ValueMax, MakeVariantBstr("10")), E_INVALIDARG);
    const VARIANT one = MakeVariantI4(1);
    EXPECT_EQ(model.Invoke(9999, DISPATCH_PROPERTYPUT, &one, 1), E_INVALIDARG);
    EXPECT_EQ(model.Revision(), nRevision);
    EXPECT_EQ(state.crTrace, CChartState{}.crTrace);
    EXPECT_EQ(state.value.dUpper, CChartState{}.value.dUpper);
    EXPECT_EQ(state.nSelectedLabel, 0);

    // An empty array is a valid load with no points; clearing discards the points too.
    CPointArray empty({});
    EXPECT_EQ(empty.SendTo(model), S_OK);
    EXPECT_TRUE(state.points.empty());
    ASSERT_EQ(good.SendTo(model), S_OK);
    const auto nBefore = model.Revision();
    EXPECT_EQ(model.Invoke(DispidOf(ChartId::ClearPoints), DISPATCH_METHOD, nullptr, 0), S_OK);
    EXPECT_TRUE(state.points.empty());
    EXPECT_GT(model.Revision(), nBefore);
}
