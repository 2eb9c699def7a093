// The chart's state as the program leaves it: set-up writes, a load, labels, malformed calls.

#include "data/FieldLoader.h"
#include "tests/TestSupport.h"
#include "tests/ui/ChartTestPoints.h"
#include "ui/ChartModel.h"
#include "ui/ChartSetup.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testing_support;

namespace {
HRESULT Put(IChartDispatch& chart, DISPID dispid, const VARIANT& var) {
    return chart.Invoke(dispid, DISPATCH_PROPERTYPUT, &var, 1);
}
} // namespace

TEST(ChartModel, HoldsTheSetUpWritesAndALoad) {
    CStripChartModel model;
    CStrip strip;
    strip.Attach(&model);
    ApplyChartDisplaySettings(strip);

    // The last write of each property, with the type it was written in.
    struct {
        DISPID dispid;
        VARTYPE vt;
        double dValue;
    } expected[] = {{14, VT_I4, 0xFFFF00}, {31, VT_I4, 0},        {-501, VT_I4, 0},
                    {28, VT_I4, 0xFFFFFF}, {34, VT_I4, 0xFFFFFF}, {25, VT_I4, 0x808080},
                    {81, VT_I2, 8},        {1, VT_I4, 0},         {2, VT_I4, 0},
                    {3, VT_I2, 0},         {4, VT_I2, 0},         {111, VT_BOOL, 0},
                    {6, VT_R8, 0.04},      {5, VT_R8, 0.91},      {7, VT_R8, 0.06},
                    {8, VT_R8, 0.97},      {58, VT_I2, 1},        {56, VT_I4, 0xFFFFFF}};
    for (const auto& e : expected) {
        const VARIANT* pvar = model.FindProperty(e.dispid);
        ASSERT_NE(pvar, nullptr) << e.dispid;
        EXPECT_EQ(pvar->vt, e.vt) << e.dispid;
        double dValue = -1;
        EXPECT_TRUE(VariantToReal(*pvar, &dValue));
        EXPECT_EQ(dValue, e.dValue) << e.dispid;
    }
    EXPECT_EQ(model.FindProperty(94)->bstrVal, "");
    EXPECT_EQ(model.TimeFormats().strMonths, "%b,%y");
    EXPECT_EQ(model.TraceColour(), SCREEN_TRACE);
    ASSERT_GE(model.Labels().size(), 2u);
    EXPECT_EQ(model.Labels()[0].strText, "kV / m");
    EXPECT_EQ(model.Labels()[1].strText, "T i m e");
    EXPECT_EQ(model.Labels()[1].dY, 0.98);
    EXPECT_EQ(model.ShownLabelCount(), 2);

    CTempDir dir;
    WriteFile(dir.File("day.vks"), "00:00:00,1.5\n12:00:00,-2.25\n23:59:59,nan\n");
    ASSERT_TRUE(LoadFieldFile(dir.File("day.vks"), strip));
    ASSERT_EQ(model.Points().size(), 3u);
    EXPECT_EQ(model.Points()[1].dTime, 1460.5);
    EXPECT_EQ(model.Points()[1].dValue, -2.25);
    EXPECT_EQ(model.ValueRange().dUpper, 3.0);
    EXPECT_EQ(model.TimeRange().dLower, 1460.0);
    EXPECT_EQ(model.TimeRange().dUpper, 1461.0);
    // The chart holds its own copy: the next load's overwriting cannot change what shows.
    g_Samples[1].dValue = 99.0;
    EXPECT_EQ(model.Points()[1].dValue, -2.25);
}

TEST(ChartModel, MalformedCallsAreIgnored) {
    CStripChartModel model;
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
        ASSERT_EQ(model.Points().size(), 2u) << c.pszCase;
    }
    // Wrong argument lists.
    EXPECT_EQ(model.Invoke(ChartId::METHOD_SET_POINTS, DISPATCH_METHOD, nullptr, 2), E_INVALIDARG);
    const VARIANT nullRef[2] = {MakeVariantI2(0), MakeVariantRef(nullptr)};
    EXPECT_EQ(model.Invoke(ChartId::METHOD_SET_POINTS, DISPATCH_METHOD, nullRef, 2), E_INVALIDARG);
    EXPECT_EQ(model.Points()[1].dValue, 2.0);

    // Property writes of the wrong type or out of range are refused as well.
    EXPECT_EQ(Put(model, 58, MakeVariantI2(MAX_CHART_LABELS)), E_INVALIDARG);
    EXPECT_EQ(Put(model, 14, MakeVariantBstr("cyan")), E_INVALIDARG);
    EXPECT_EQ(Put(model, 89, MakeVariantI4(5)), E_INVALIDARG);
    EXPECT_EQ(model.FindProperty(14), nullptr);
    EXPECT_EQ(model.SelectedLabel(), 0);

    // An empty array is a valid load with no points; 127 discards the points too.
    CPointArray empty({});
    EXPECT_EQ(empty.SendTo(model), S_OK);
    EXPECT_TRUE(model.Points().empty());
    ASSERT_EQ(good.SendTo(model), S_OK);
    const auto nRevision = model.Revision();
    EXPECT_EQ(model.Invoke(ChartId::METHOD_CLEAR, DISPATCH_METHOD, nullptr, 0), S_OK);
    EXPECT_TRUE(model.Points().empty());
    EXPECT_GT(model.Revision(), nRevision);
}
