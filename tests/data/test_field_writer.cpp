// The readings of a span written back as text: in the logger's format they read back as the same
// readings; as a table they carry a header and the date.

#include "data/FieldWriter.h"

#include "data/FieldLoader.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

using namespace testing_support;

namespace {
// A day read by the reader itself: values of every shape a logger or a fault gives.
std::vector<FieldSample> ReadDay(const CTempDir& dir) {
    WriteFile(dir.File("day.vks"), "00:00:00,-0.450\n"
                                   "08:15:30,0.1\n"
                                   "08:15:30,12.3456789012345\n"
                                   "13:59:59,-1e-7\n"
                                   "14:00:00,inf\n"
                                   "16:30:00,  7\n"
                                   "23:59:59,-999.5\n"
                                   "24:00:00,3\n");
    std::vector<FieldSample> samples(MAX_FIELD_SAMPLES);
    const CFieldRead read = ReadFieldFile(dir.File("day.vks"), samples);
    return {read.records.begin(), read.records.end()};
}
} // namespace

TEST(FieldWriter, TheLoggersFormatReadsBackAsTheSameReadings) {
    CTempDir dir;
    const std::vector<FieldSample> day = ReadDay(dir);
    const double dStart = FieldDayStart();
    ASSERT_EQ(day.size(), 8u);
    // The whole day, then 08:15:30 to 16:30:00 with both ends included.
    for (const auto& [dFrom, dTo, nFirst, nCount] :
         {std::tuple{dStart, dStart + 1, 0u, 8u}, std::tuple{day[1].dTime, day[5].dTime, 1u, 5u}}) {
        const std::string strOut = dir.File("out.vks");
        std::size_t nWritten = 0;
        ASSERT_TRUE(WriteReadings(strOut, day, {dStart, dFrom, dTo}, EFieldText::LoggerLines,
                                  std::nullopt, &nWritten)
                        .Ok());
        EXPECT_EQ(nWritten, nCount);
        std::vector<FieldSample> samples(MAX_FIELD_SAMPLES);
        const CFieldRead again = ReadFieldFile(strOut, samples);
        ASSERT_EQ(again.records.size(), nCount);
        EXPECT_EQ(again.summary.nSkipped, 0);
        for (std::size_t i = 0; i < nCount; ++i) {
            EXPECT_EQ(again.records[i].dTime, day[nFirst + i].dTime) << i;
            EXPECT_EQ(again.records[i].dValue, day[nFirst + i].dValue) << i;
        }
    }
}

TEST(FieldWriter, ATableHasAHeaderAndTheDateAndHoldsWhatTheLoggersFormatCannot) {
    const double dDay = FieldDayStart();
    EXPECT_EQ(dDay, 1460.0);
    const std::vector<FieldSample> readings = {{dDay + 0.5, -0.25}, {dDay + 0.75, 2.0}};
    std::string strText;
    ASSERT_TRUE(FormatReadings(readings, {dDay, dDay, dDay + 1}, EFieldText::Table,
                               CFileDate{2004, 1, 2}, &strText)
                    .Ok());
    EXPECT_EQ(strText, "time,value\n2004-01-02 12:00:00,-0.25\n2004-01-02 18:00:00,2\n");
    ASSERT_TRUE(
        FormatReadings(readings, {dDay, dDay, dDay + 0.6}, EFieldText::Table, {}, &strText).Ok());
    EXPECT_EQ(strText, "time,value\n12:00:00,-0.25\n");

    // A reading before its day's start (a malformed line gives one) fits no logger's line.
    const std::vector<FieldSample> early = {{dDay - 0.5, 1.0}};
    EXPECT_FALSE(
        FormatReadings(early, {dDay, dDay - 1, dDay + 1}, EFieldText::LoggerLines, {}, &strText)
            .Ok());
    CTempDir dir;
    EXPECT_FALSE(WriteReadings(dir.File("x.vks"), early, {dDay, dDay - 1, dDay + 1},
                               EFieldText::LoggerLines, {})
                     .Ok());
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.vks"))) << "nothing half-written";
    ASSERT_TRUE(
        FormatReadings(early, {dDay, dDay - 1, dDay + 1}, EFieldText::Table, {}, &strText).Ok());
    EXPECT_EQ(strText, "time,value\n-12:00:00,1\n");
}
