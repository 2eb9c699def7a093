#pragma once
// Shared helpers for the tests: a private temporary folder per test, files with given bytes, a
// chart target that records every call it receives, and a scoped time-zone switch. They build
// for Windows too, for the suites the cross build runs.

#include "chart/ChartModel.h"
#include "chart/Strip.h"

#include <string>
#include <vector>

namespace testing_support {

// Creates a new folder "PREFIX-XXXXXX" in the system's temporary folder; empty on failure.
[[nodiscard]] std::string MakeUniqueFolder(const std::string& strPrefix);

// Sets an environment variable of this process; an empty value removes it.
void SetEnv(const std::string& strName, const std::string& strValue);

// A fresh empty folder under the test run's temporary root, removed with the object.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    [[nodiscard]] std::string File(const std::string& strName) const;

private:
    std::string m_strPath;
};

void WriteFile(const std::string& strPath, const std::string& strBytes);
// Adds strBytes at the end of the file, as a logger appends a line.
void AppendFile(const std::string& strPath, const std::string& strBytes);
[[nodiscard]] std::string ReadFile(const std::string& strPath);
// The page size in points from pdfinfo's text ("Page size:      842 x 595 pts"); false when the
// text has none.
[[nodiscard]] bool PdfPageSize(const std::string& strPdfInfo, double* pdWidth, double* pdHeight);

// One call the chart received: the DISPID, the flags and the arguments as given.
struct CChartCall {
    DISPID dispid = 0;
    WORD wFlags = 0;
    std::vector<VARIANT> args;
    // For method 129: the descriptor as seen during the call (it is freed right after).
    USHORT nDims = 0;
    ULONG nElementBytes = 0;
    ULONG nRecords = 0;
    ULONG nInnerCount = 0;
    const void* pData = nullptr;
};

// Records every call; forwards to pNext when given.
class CRecordingChart : public IChartDispatch {
public:
    explicit CRecordingChart(IChartDispatch* pNext = nullptr) : m_pNext(pNext) {}
    ~CRecordingChart() override;
    CRecordingChart(const CRecordingChart&) = delete;
    CRecordingChart& operator=(const CRecordingChart&) = delete;
    HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) override;
    // The typed operations go on to the next chart, or to a model of the recorder's own.
    void SetView(const CChartView& view) override { Next().SetView(view); }
    void SetAlarmLevels(const CAlarmLevels& alarms) override { Next().SetAlarmLevels(alarms); }
    void SetCursor(bool bShow, double dTime) override { Next().SetCursor(bShow, dTime); }
    void SetFlashMarks(std::span<const double> times) override { Next().SetFlashMarks(times); }
    void SetFieldUnit(const CFieldUnit& unit) override { Next().SetFieldUnit(unit); }
    void ReplacePointsFrom(std::size_t nFirst, std::span<const FieldSample> records) override {
        m_appended.push_back({nFirst, records.size()});
        Next().ReplacePointsFrom(nFirst, records);
    }
    [[nodiscard]] const CChartState& State() const override {
        return m_pNext != nullptr ? m_pNext->State() : m_own.State();
    }
    std::vector<CChartCall> m_calls;
    std::vector<std::pair<std::size_t, std::size_t>> m_appended; // (first, count) per call

    // The property writes only, as (dispid, value) pairs of the given type.
    [[nodiscard]] std::vector<DISPID> Dispids() const;
    [[nodiscard]] double LastR8(DISPID dispid) const;

private:
    IChartDispatch& Next() { return m_pNext != nullptr ? *m_pNext : m_own; }

    IChartDispatch* m_pNext;
    CChartModel m_own;
};

// Sets TZ for the scope of a test and restores the previous value. An empty zone removes TZ: the
// system's own zone.
class CScopedTimeZone {
public:
    explicit CScopedTimeZone(const std::string& strZone);
    ~CScopedTimeZone();
    CScopedTimeZone(const CScopedTimeZone&) = delete;
    CScopedTimeZone& operator=(const CScopedTimeZone&) = delete;

private:
    std::string m_strOld;
    bool m_bHadOld = false;
};

// The source tree and build tree, for tests that run the program or read bundled files.
[[nodiscard]] std::string SourceDir();
[[nodiscard]] std::string BinaryDir();

} // namespace testing_support
