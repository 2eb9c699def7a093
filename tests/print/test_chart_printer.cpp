#include "print/ChartPrinter.h"

#include "platform/PrinterDC.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

// ---- The job, on a device context whose calls can fail ----------------------------------------

namespace {
struct CDcLog {
    std::vector<std::string> calls;
    bool bDeleted = false;
};

class CFakeDC : public CPrinterDC {
public:
    CFakeDC(CDcLog& log, int nStartDoc, int nEndPage)
        : m_log(log), m_nStartDoc(nStartDoc), m_nEndPage(nEndPage) {}
    ~CFakeDC() override { m_log.bDeleted = true; }
    int StartDoc(const DOCINFOA* pInfo) override {
        m_log.calls.push_back(std::string("StartDoc:") + pInfo->lpszDocName);
        return m_nStartDoc;
    }
    int StartPage() override { return Log("StartPage", 1); }
    int EndPage() override { return Log("EndPage", m_nEndPage); }
    int EndDoc() override { return Log("EndDoc", 1); }
    int AbortDoc() override { return Log("AbortDoc", 1); }
    [[nodiscard]] int GetDeviceCaps(int nIndex) const override {
        return nIndex == HORZSIZE ? 210 : nIndex == VERTSIZE ? 297 : 0;
    }
    [[nodiscard]] HDC_HANDLE GetSafeHdc() const override { return 0x4242; }

private:
    int Log(const char* psz, int nResult) {
        m_log.calls.push_back(psz);
        return nResult;
    }
    CDcLog& m_log;
    int m_nStartDoc;
    int m_nEndPage;
};

struct CPrintFixture : ::testing::Test {
    CRecordingChart chart;
    CStrip strip;
    CDcLog log;
    void SetUp() override { strip.Attach(&chart); }
    bool Print(int nStartDoc, int nEndPage) {
        CChartPrinter printer(strip, "/data/day.vks");
        return printer.PrintOnDC(std::make_unique<CFakeDC>(log, nStartDoc, nEndPage));
    }
};
} // namespace

TEST_F(CPrintFixture, SuccessfulJobEndsTheDocument) {
    EXPECT_TRUE(Print(7, 1));
    const std::vector<std::string> expected = {"StartDoc:Quillon", "StartPage", "EndPage",
                                               "EndDoc"};
    EXPECT_EQ(log.calls, expected);
    EXPECT_TRUE(log.bDeleted);
}

TEST_F(CPrintFixture, StartDocFailingDrawsNothingAndAborts) {
    EXPECT_FALSE(Print(0, 1));
    const std::vector<std::string> expected = {"StartDoc:Quillon", "AbortDoc"};
    EXPECT_EQ(log.calls, expected);
    EXPECT_TRUE(log.bDeleted);
    EXPECT_TRUE(chart.m_calls.empty());
}

TEST_F(CPrintFixture, EndPageFailingAbortsButRestoresTheScreenColours) {
    EXPECT_FALSE(Print(3, 0));
    EXPECT_EQ(log.calls.back(), "AbortDoc");
    ASSERT_FALSE(chart.m_calls.empty());
    // The page was drawn, so the chart is back on its screen colours.
    const CChartCall& last = chart.m_calls.back();
    EXPECT_EQ(last.dispid, DispidOf(ChartId::LabelColour));
    EXPECT_EQ(last.args[0].lVal, 0xFFFFFF);
}

TEST_F(CPrintFixture, OnePageWritesTheChartInThisOrder) {
    ASSERT_TRUE(Print(1, 1));
    struct Write {
        ChartId id;
        VARTYPE vt;
        double dValue; // numeric value, or ignored for text and the method
    };
    const Write expected[] = {
        {ChartId::TraceColour, VT_I4, 0x000000},
        {ChartId::BackColour, VT_I4, 0xFFFFFF},
        {ChartId::StockBackColor, VT_I4, 0xFFFFFF},
        {ChartId::AxisColour, VT_I4, 0x808080},
        {ChartId::TextColour, VT_I4, 0x808080},
        {ChartId::GridColour, VT_I4, 0x808080},
        {ChartId::LabelSelect, VT_I2, 0},
        {ChartId::LabelColour, VT_I4, 0x000000},
        {ChartId::LabelSelect, VT_I2, 1},
        {ChartId::LabelColour, VT_I4, 0x000000},
        {ChartId::LabelCount, VT_I2, 3},
        {ChartId::LabelSelect, VT_I2, 2},
        {ChartId::LabelX, VT_R8, 0.5},
        {ChartId::LabelY, VT_R8, 0.0},
        {ChartId::LabelColour, VT_I4, 0x000000},
        {ChartId::StockCaption, VT_BSTR, 0},
        {ChartId::DrawToDC, VT_EMPTY, 0},
        {ChartId::LabelCount, VT_I2, 2},
        {ChartId::TraceColour, VT_I4, 0xFFFF00},
        {ChartId::BackColour, VT_I4, 0x000000},
        {ChartId::StockBackColor, VT_I4, 0x000000},
        {ChartId::AxisColour, VT_I4, 0xFFFFFF},
        {ChartId::TextColour, VT_I4, 0xFFFFFF},
        {ChartId::GridColour, VT_I4, 0x808080},
        {ChartId::LabelSelect, VT_I2, 0},
        {ChartId::LabelColour, VT_I4, 0xFFFFFF},
        {ChartId::LabelSelect, VT_I2, 1},
        {ChartId::LabelColour, VT_I4, 0xFFFFFF},
    };
    ASSERT_EQ(chart.m_calls.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const CChartCall& call = chart.m_calls[i];
        const Write& w = expected[i];
        ASSERT_EQ(call.dispid, DispidOf(w.id)) << "write " << i;
        if (w.id == ChartId::DrawToDC) {
            EXPECT_EQ(call.wFlags, DISPATCH_METHOD);
            ASSERT_EQ(call.args.size(), 5u);
            EXPECT_EQ(call.args[0].lVal, 0x4242);
            EXPECT_EQ(call.args[1].dblVal, 0.8267716535433071);
            EXPECT_EQ(call.args[2].dblVal, 1.1692913385826773);
            EXPECT_EQ(call.args[3].dblVal, 6.0);
            EXPECT_EQ(call.args[4].dblVal, 9.0);
            continue;
        }
        ASSERT_EQ(call.args.size(), 1u);
        EXPECT_EQ(call.args[0].vt, w.vt) << "write " << i;
        switch (w.vt) {
        case VT_I2:
            EXPECT_EQ(call.args[0].iVal, w.dValue) << "write " << i;
            break;
        case VT_I4:
            EXPECT_EQ(call.args[0].lVal, w.dValue) << "write " << i;
            break;
        case VT_R8:
            EXPECT_EQ(call.args[0].dblVal, w.dValue) << "write " << i;
            break;
        default:
            EXPECT_EQ(TextOfVariant(call.args[0]), "/data/day.vks");
            break;
        }
    }
}
