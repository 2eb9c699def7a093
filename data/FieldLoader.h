#pragma once
// Reading a data file: ReadFieldFile parses a file, or the part of it from a byte offset on, into
// a caller's array and returns what it read. It draws nothing and shows nothing; the chart's
// hand-over and the loading window are composed one layer up.
//
// Flow: open (regular files only, never blocking) -> CTextLineReader (text-mode lines, at most
// 254 characters) -> fixed columns (FieldParse) -> CDayClock (day numbers) -> the caller's array
// -> CFieldRead: the records, the summary (scales included), where reading stopped, and warnings
// with line numbers.

#include "data/FieldSample.h"
#include "platform/FileIdentity.h"
#include "platform/Outcome.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

constexpr int FIELD_LINE_CHARS = 254; // characters of a line that are read; the rest is dropped
// Warnings kept with their line numbers; more are counted in the summary only.
constexpr std::size_t MAX_FIELD_WARNINGS = 100;

// What one read found, for --info, the chart and tests.
struct CLoadSummary {
    int nRecords = 0;
    int nSkipped = 0;          // lines that gave no record (time fields out of range)
    bool bReadError = false;   // a read failed before the end of the file
    bool bAnyFinite = false;   // at least one record holds a finite value
    double dValueMin = 0.0;    // smallest finite value (0 without one)
    double dValueMax = 0.0;    // largest finite value (0 without one)
    std::size_t nMinIndex = 0; // the first record holding the smallest finite value
    std::size_t nMaxIndex = 0; // and the largest
    double dScale = 1.0;       // M: the value range is [-M, M]
    double dTimeLow = 1460.0;  // the day the records lie on: its start
    double dTimeHigh = 1461.0; // and its end
};

struct CFieldWarning {
    long nLine = 0; // 1 for the file's first line
    std::string strText;
};

// Where a read begins: a byte offset (the end of a complete line of an earlier read, or 0) and
// the number of the line that starts there.
struct CReadFrom {
    std::uint64_t nOffset = 0;
    long nLine = 1;
};

enum class EFieldOpen {
    Opened,
    NotFound,   // missing, unreadable or a folder
    NotRegular, // a device, a pipe, a socket: nothing a logger writes
};

struct CFieldRead {
    EFieldOpen eOpen = EFieldOpen::NotFound;
    std::string strOpenError; // the system's reason when not opened
    CFileIdentity identity;   // of the file as it was opened: what was read came from it

    std::span<const FieldSample> records; // at the start of the caller's array
    CLoadSummary summary;
    std::uint64_t nEndOffset = 0;     // just past the last complete line read: where to go on
    long nNextLine = 1;               // the number of the line that starts there
    bool bLastLineComplete = true;    // false when the file ends inside a line (it still counts)
    std::size_t nCompleteRecords = 0; // the records from complete lines: all but an unfinished last
    std::string strReadError;         // the reason of a failed read, empty without one
    std::vector<CFieldWarning> warnings;

    [[nodiscard]] bool Opened() const { return eOpen == EFieldOpen::Opened; }
};

// M of the value range [-M, M] that shows every finite reading from dMin to dMax: the smallest
// whole number at or above the largest magnitude, at least 1. The one scale rule, for a whole
// read and for a day that grows.
[[nodiscard]] double ValueScaleOf(bool bAnyFinite, double dMin, double dMax);

// What a read of strPath means to a caller that needs all of the file: "File not found: PATH",
// "Not a regular file: PATH" or "Read error: PATH: reason", or success.
COutcome OutcomeOfRead(const std::string& strPath, const CFieldRead& day);

// Reads data files. A reader owns its line buffer and its probe of the local clock and shares
// nothing with other readers, so each thread reads with its own. Keep one for many reads of a
// followed file: the clock is probed again only when the zone changes.
class CFieldReader {
public:
    CFieldReader();
    ~CFieldReader();
    CFieldReader(CFieldReader&&) noexcept;
    CFieldReader& operator=(CFieldReader&&) noexcept;

    // Reads strPath from `from` into samples (at most samples.size() records). Not opened: the
    // array is untouched. A line whose read fails part-way gives no record.
    [[nodiscard]] CFieldRead Read(const std::string& strPath, std::span<FieldSample> samples,
                                  CReadFrom from = {});

private:
    struct CImpl;
    std::unique_ptr<CImpl> m_pImpl;
};

// One read with a reader of its own.
[[nodiscard]] CFieldRead ReadFieldFile(const std::string& strPath, std::span<FieldSample> samples,
                                       CReadFrom from = {});
