#pragma once
// The days of a folder, and their summaries made on every core.
//
// ListDayFiles finds a logger's folder's day files: its *.vks files (any case), each with the date
// its name carries (data/FileDate.h) when it carries one, its size and its time. CArchiveScan
// summarises a list of them in the background: a worker per core, each with its own reader and
// its own day's array, takes the next file from a shared counter, reads it, summarises it
// (data/DaySummary.h), reports the summary and reuses the array for the next file, so memory stays
// that of one day per worker however many days there are. The workers share nothing else; what
// they report goes to the caller's callbacks, on the worker's thread, for the caller to take where
// it wants it (the overview window posts it to its own thread). Cancel stops each worker before its
// next file.
//
// Flow: ListDayFiles (or DayFileOf for a named file) -> CArchiveScan::Start -> workers: ScanDay
// (CFieldReader -> SummariseDay) -> onDay for each file -> onEnd once, after the last onDay.

#include "data/DaySummary.h"
#include "data/FieldLoader.h"
#include "data/FileDate.h"
#include "platform/Outcome.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

// A file of a logger's folder.
struct CDayFile {
    std::string strPath; // as it opens
    std::string strName; // its own name
    std::optional<CFileDate> date;
    std::uint64_t nSize = 0;
    std::int64_t nModified = 0; // nanoseconds since the epoch (platform/FileIdentity.h)
    bool bExists = false;       // it could be opened when it was looked at

    // Whether the file was changed between two looks.
    [[nodiscard]] bool SameState(const CDayFile& other) const {
        return bExists == other.bExists && nSize == other.nSize && nModified == other.nModified;
    }
};

// The path of a folder as one text for the same folder however it is named (absolute, without
// "." and ".." steps, links resolved as far as they exist), for keys and messages.
[[nodiscard]] std::string CanonicalFolder(const std::string& strFolder);

// The folder that holds strPath ("." for a bare name).
[[nodiscard]] std::string FolderOfFile(const std::string& strPath);

// strPath looked at now.
[[nodiscard]] CDayFile DayFileOf(const std::string& strPath);

// The *.vks files of strFolder in day order (SortDayFiles). Fails when the folder cannot be read.
COutcome ListDayFiles(const std::string& strFolder, std::vector<CDayFile>* pFiles);

// Day order: files whose names carry a date first, by date, then the rest; ties by name, then path.
void SortDayFiles(std::vector<CDayFile>& files);

// What the scan found for one file.
struct CDayScan {
    std::size_t nIndex = 0; // the file's place in the list the scan was given
    CDayFile file;          // its size and time as read
    bool bRead = false;     // false: strError says why there is no summary
    std::string strError;   // "File not found: PATH", "Read error: PATH: reason"...
    CDaySummary summary;
};

// Reads and summarises one file with the caller's reader and array.
[[nodiscard]] CDayScan ScanDay(const CDayFile& file, const CSummaryLevels& levels,
                               CFieldReader& reader, std::span<FieldSample> samples);

class CArchiveScan {
public:
    using DayReport = std::function<void(CDayScan scan)>; // on a worker's thread
    using EndReport = std::function<void(bool bCancelled)>;

    CArchiveScan() = default;
    ~CArchiveScan(); // cancels and waits for the workers
    CArchiveScan(const CArchiveScan&) = delete;
    CArchiveScan& operator=(const CArchiveScan&) = delete;

    // Starts summarising files on nWorkers threads (0: one per core; never more than files).
    // onDay hears each file once, from whichever worker read it, possibly two at a time; onEnd
    // hears once that all is done or cancelled, after the last onDay. A scan still running is
    // cancelled and waited for first. Where no thread can be had, the work is done here.
    void Start(std::vector<CDayFile> files, const CSummaryLevels& levels, unsigned nWorkers,
               DayReport onDay, EndReport onEnd);
    // Each worker stops before its next file; files not begun are not reported.
    void Cancel() { m_bCancel = true; }
    // Waits for the workers to end.
    void Wait();
    // From Start until onEnd has been heard.
    [[nodiscard]] bool Running() const { return m_bRunning.load(); }

    // One worker per core the machine reports, at least one.
    [[nodiscard]] static unsigned DefaultWorkers();

private:
    void Work();
    // A worker (or Start) is done; the last to be done reports the end.
    void Leave();

    std::vector<CDayFile> m_files;
    CSummaryLevels m_levels;
    DayReport m_onDay;
    EndReport m_onEnd;
    std::atomic<std::size_t> m_nNext{0};
    std::atomic<bool> m_bCancel{false};
    std::atomic<unsigned> m_nWorking{0}; // workers not yet done
    std::atomic<bool> m_bRunning{false};
    std::vector<std::thread> m_workers;
};

// Summarises files on nWorkers threads and returns what was found, in the order of files.
[[nodiscard]] std::vector<CDayScan> ScanDays(const std::vector<CDayFile>& files,
                                             const CSummaryLevels& levels, unsigned nWorkers = 0);
