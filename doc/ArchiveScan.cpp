#include "doc/ArchiveScan.h"

#include "platform/SharedFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <system_error>
#include <tuple>

namespace fs = std::filesystem;

namespace {
// Paths are UTF-8 text in this program; the file system's own form differs on Windows.
fs::path PathOf(const std::string& str) {
#ifdef _WIN32
    return fs::path(std::u8string(str.begin(), str.end()));
#else
    return fs::path(str);
#endif
}

std::string TextOf(const fs::path& path) {
#ifdef _WIN32
    const std::u8string str = path.u8string();
    return std::string(str.begin(), str.end());
#else
    return path.string();
#endif
}

bool IsDayFileName(const std::string& strName) {
    if (strName.size() < 4) {
        return false;
    }
    std::string strSuffix = strName.substr(strName.size() - 4);
    std::transform(strSuffix.begin(), strSuffix.end(), strSuffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return strSuffix == ".vks";
}

// A day's place: its date (undated after every date), then its name and path.
std::tuple<int, int, int, const std::string&, const std::string&> DayOrder(const CDayFile& file) {
    const CFileDate date = file.date.value_or(CFileDate{9999, 99, 99});
    return {date.nYear, date.nMonth, date.nDay, file.strName, file.strPath};
}
} // namespace

std::string CanonicalFolder(const std::string& strFolder) {
    std::error_code ec;
    fs::path path = fs::weakly_canonical(PathOf(strFolder.empty() ? "." : strFolder), ec);
    if (ec) {
        path = fs::absolute(PathOf(strFolder), ec).lexically_normal();
    }
    std::string str = TextOf(path);
    // "/data/" and "/data" are one folder.
    while (str.size() > 1 && (str.back() == '/' || str.back() == '\\') &&
           str[str.size() - 2] != ':') {
        str.pop_back();
    }
    return str;
}

std::string FolderOfFile(const std::string& strPath) {
    const fs::path folder = PathOf(strPath).parent_path();
    return folder.empty() ? std::string(".") : TextOf(folder);
}

CDayFile DayFileOf(const std::string& strPath) {
    CDayFile file;
    file.strPath = strPath;
    file.strName = TextOf(PathOf(strPath).filename());
    file.date = FileDateOf(file.strName);
    // Opened as the reader opens it, so that size and time are told as the read tells them.
    CSharedFile shared;
    if (shared.Open(strPath) == ESharedOpen::Opened) {
        const CFileIdentity identity = shared.Identity();
        file.bExists = identity.bExists;
        file.nSize = identity.nSize;
        file.nModified = identity.nModified;
    }
    return file;
}

COutcome ListDayFiles(const std::string& strFolder, std::vector<CDayFile>* pFiles) {
    pFiles->clear();
    std::error_code ec;
    fs::directory_iterator it(PathOf(strFolder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code ecEntry;
        const std::string strName = TextOf(it->path().filename());
        if (!IsDayFileName(strName) || it->is_directory(ecEntry)) {
            continue;
        }
        pFiles->push_back(DayFileOf(TextOf(it->path())));
    }
    if (ec) {
        pFiles->clear();
        return COutcome::Fail("Cannot read the folder " + strFolder + ": " + ec.message());
    }
    SortDayFiles(*pFiles);
    return {};
}

void SortDayFiles(std::vector<CDayFile>& files) {
    std::sort(files.begin(), files.end(),
              [](const CDayFile& a, const CDayFile& b) { return DayOrder(a) < DayOrder(b); });
}

CDayScan ScanDay(const CDayFile& file, const CSummaryLevels& levels, CFieldReader& reader,
                 std::span<FieldSample> samples) {
    CDayScan scan;
    scan.file = file;
    const CFieldRead read = reader.Read(file.strPath, samples);
    if (read.Opened()) {
        // The summary describes the file as it was opened, whatever it has become since.
        scan.file.bExists = read.identity.bExists;
        scan.file.nSize = read.identity.nSize;
        scan.file.nModified = read.identity.nModified;
    }
    if (const COutcome outcome = OutcomeOfRead(file.strPath, read); !outcome.Ok()) {
        scan.strError = outcome.Error();
        return scan;
    }
    scan.summary = SummariseDay(read.records, read.summary.nSkipped, levels);
    scan.bRead = true;
    return scan;
}

CArchiveScan::~CArchiveScan() {
    Cancel();
    Wait();
}

unsigned CArchiveScan::DefaultWorkers() {
    return std::max(1U, std::thread::hardware_concurrency());
}

void CArchiveScan::Start(std::vector<CDayFile> files, const CSummaryLevels& levels,
                         unsigned nWorkers, DayReport onDay, EndReport onEnd) {
    Cancel();
    Wait();
    m_files = std::move(files);
    m_levels = levels;
    m_onDay = std::move(onDay);
    m_onEnd = std::move(onEnd);
    m_nNext = 0;
    m_bCancel = false;
    if (nWorkers == 0) {
        nWorkers = DefaultWorkers();
    }
    nWorkers = static_cast<unsigned>(
        std::max<std::size_t>(1, std::min<std::size_t>(nWorkers, m_files.size())));
    // Start holds a share of its own until every worker is under way, so that onEnd cannot be
    // heard while workers are still being started.
    m_nWorking = nWorkers + 1;
    m_bRunning = true;
    unsigned nStarted = 0;
    try {
        for (; nStarted < nWorkers; ++nStarted) {
            m_workers.emplace_back([this] { Work(); });
        }
    } catch (const std::system_error&) {
        // Fewer threads than asked for: those that started take the whole list between them.
        m_nWorking -= nWorkers - nStarted;
        if (nStarted == 0) {
            ++m_nWorking;
            Work();
        }
    }
    Leave();
}

void CArchiveScan::Wait() {
    for (std::thread& worker : m_workers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
    m_workers.clear();
}

void CArchiveScan::Work() {
    // This worker's own: a reader and a day's array, reused file after file.
    CFieldReader reader;
    const auto pSamples = std::make_unique_for_overwrite<FieldSample[]>(MAX_FIELD_SAMPLES);
    const std::span<FieldSample> samples(pSamples.get(), MAX_FIELD_SAMPLES);
    while (!m_bCancel) {
        const std::size_t nIndex = m_nNext.fetch_add(1);
        if (nIndex >= m_files.size()) {
            break;
        }
        CDayScan scan = ScanDay(m_files[nIndex], m_levels, reader, samples);
        scan.nIndex = nIndex;
        if (m_bCancel) {
            break; // a cancelled scan reports nothing more
        }
        if (m_onDay) {
            m_onDay(std::move(scan));
        }
    }
    Leave();
}

void CArchiveScan::Leave() {
    if (m_nWorking.fetch_sub(1) == 1) {
        if (m_onEnd) {
            m_onEnd(m_bCancel.load());
        }
        m_bRunning = false;
    }
}

std::vector<CDayScan> ScanDays(const std::vector<CDayFile>& files, const CSummaryLevels& levels,
                               unsigned nWorkers) {
    // Each worker writes only the slots of the files it took.
    std::vector<CDayScan> scans(files.size());
    CArchiveScan scan;
    scan.Start(files, levels, nWorkers,
               [&scans](CDayScan day) { scans[day.nIndex] = std::move(day); }, {});
    scan.Wait();
    return scans;
}
