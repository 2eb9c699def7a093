#include "doc/SummaryCache.h"

#include "doc/ArchiveScan.h"
#include "platform/AtomicFile.h"
#include "platform/SharedFile.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

namespace {
constexpr char MAGIC[8] = {'Q', 'S', 'U', 'M', 'C', 'A', 'C', 'H'};
constexpr std::uint64_t FNV_OFFSET = 14695981039346656037ULL;
constexpr std::uint64_t FNV_PRIME = 1099511628211ULL;
constexpr std::uint32_t MAX_TEXT = 1U << 16;        // a folder or a file name
constexpr std::uint64_t MAX_CACHE_BYTES = 1U << 30; // far above any folder's cache

std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t nHash = FNV_OFFSET;
    for (const char c : bytes) {
        nHash = (nHash ^ static_cast<unsigned char>(c)) * FNV_PRIME;
    }
    return nHash;
}

class CWriter {
public:
    void U32(std::uint32_t n) { Bytes(n, 4); }
    void U64(std::uint64_t n) { Bytes(n, 8); }
    void I32(int n) { U32(static_cast<std::uint32_t>(n)); }
    void I64(std::int64_t n) { U64(static_cast<std::uint64_t>(n)); }
    void F64(double d) { U64(std::bit_cast<std::uint64_t>(d)); }
    void Text(const std::string& str) {
        U32(static_cast<std::uint32_t>(str.size()));
        m_str += str;
    }
    void Raw(const char* p, std::size_t n) { m_str.append(p, n); }
    [[nodiscard]] std::string& Str() { return m_str; }

private:
    void Bytes(std::uint64_t n, int nBytes) {
        for (int i = 0; i < nBytes; ++i) {
            m_str.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
        }
    }
    std::string m_str;
};

// Reads what CWriter wrote; any read past the end makes the whole read fail.
class CReader {
public:
    explicit CReader(std::string_view bytes) : m_bytes(bytes) {}
    [[nodiscard]] bool Ok() const { return m_bOk; }
    [[nodiscard]] bool AtEnd() const { return m_nPos == m_bytes.size(); }

    std::uint64_t Bytes(int nBytes) {
        if (!m_bOk || m_bytes.size() - m_nPos < static_cast<std::size_t>(nBytes)) {
            m_bOk = false;
            return 0;
        }
        std::uint64_t n = 0;
        for (int i = 0; i < nBytes; ++i) {
            n |= std::uint64_t{static_cast<unsigned char>(m_bytes[m_nPos++])} << (8 * i);
        }
        return n;
    }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Bytes(4)); }
    std::uint64_t U64() { return Bytes(8); }
    int I32() { return static_cast<int>(U32()); }
    std::int64_t I64() { return static_cast<std::int64_t>(U64()); }
    double F64() { return std::bit_cast<double>(U64()); }
    std::string Text() {
        const std::uint32_t n = U32();
        if (!m_bOk || n > MAX_TEXT || m_bytes.size() - m_nPos < n) {
            m_bOk = false;
            return {};
        }
        std::string str(m_bytes.substr(m_nPos, n));
        m_nPos += n;
        return str;
    }

private:
    std::string_view m_bytes;
    std::size_t m_nPos = 0;
    bool m_bOk = true;
};

void WriteLevels(CWriter& out, const CSummaryLevels& levels) {
    out.F64(levels.dWarning);
    out.F64(levels.dAlert);
    out.I32(levels.nHoldSeconds);
    out.F64(levels.dAllClearSeconds);
    out.F64(levels.dGapSeconds);
    out.F64(levels.dFlashStep);
    out.I32(levels.nFlashRate);
}

void WriteSummary(CWriter& out, const CDaySummary& day) {
    out.I32(day.nReadings);
    out.I32(day.nSkipped);
    out.I32(day.nCoveredSeconds);
    out.U32(day.bAnyValue ? 1 : 0);
    for (const double d : {day.dMin, day.dMinTime, day.dMax, day.dMaxTime, day.dPeak, day.dPeakTime,
                           day.dWarningSeconds, day.dAlertSeconds}) {
        out.F64(d);
    }
    out.I32(day.nAlarmEpisodes);
    for (const CHourSummary& hour : day.hours) {
        out.I32(hour.nReadings);
        out.I32(hour.nCoveredSeconds);
        out.I32(hour.nValues);
        for (const double d : {hour.dMean, hour.dStdDev, hour.dMin, hour.dMax}) {
            out.F64(d);
        }
    }
}

CDaySummary ReadSummary(CReader& in) {
    CDaySummary day;
    day.nReadings = in.I32();
    day.nSkipped = in.I32();
    day.nCoveredSeconds = in.I32();
    day.bAnyValue = in.U32() != 0;
    for (double* pd : {&day.dMin, &day.dMinTime, &day.dMax, &day.dMaxTime, &day.dPeak,
                       &day.dPeakTime, &day.dWarningSeconds, &day.dAlertSeconds}) {
        *pd = in.F64();
    }
    day.nAlarmEpisodes = in.I32();
    for (CHourSummary& hour : day.hours) {
        hour.nReadings = in.I32();
        hour.nCoveredSeconds = in.I32();
        hour.nValues = in.I32();
        for (double* pd : {&hour.dMean, &hour.dStdDev, &hour.dMin, &hour.dMax}) {
            *pd = in.F64();
        }
    }
    return day;
}

// The whole file, or false when it cannot be read (or is far too large to be a cache).
bool ReadWhole(const std::string& strPath, std::string* pBytes) {
    CSharedFile file;
    if (file.Open(strPath) != ESharedOpen::Opened || file.Identity().nSize > MAX_CACHE_BYTES) {
        return false;
    }
    pBytes->resize(static_cast<std::size_t>(file.Identity().nSize));
    std::size_t nHave = 0;
    for (;;) {
        if (nHave == pBytes->size()) {
            pBytes->resize(nHave + 4096); // grown since it was opened
        }
        const std::ptrdiff_t nRead = file.Read(pBytes->data() + nHave, pBytes->size() - nHave);
        if (nRead < 0) {
            return false;
        }
        if (nRead == 0) {
            break;
        }
        nHave += static_cast<std::size_t>(nRead);
    }
    pBytes->resize(nHave);
    return true;
}
} // namespace

std::string CSummaryCache::FileFor(const std::string& strCacheFolder,
                                   const std::string& strDataFolder) {
    char szName[40];
    std::snprintf(szName, sizeof szName, "summaries-%016llx.bin",
                  static_cast<unsigned long long>(Fnv1a(CanonicalFolder(strDataFolder))));
    return strCacheFolder + "/" + szName;
}

bool CSummaryCache::Load(const std::string& strCacheFolder, const std::string& strDataFolder,
                         const CSummaryLevels& levels) {
    m_days.clear();
    std::string bytes;
    if (!ReadWhole(FileFor(strCacheFolder, strDataFolder), &bytes)) {
        return false;
    }
    return Parse(bytes, CanonicalFolder(strDataFolder), levels);
}

COutcome CSummaryCache::Save(const std::string& strCacheFolder, const std::string& strDataFolder,
                             const CSummaryLevels& levels) const {
    std::error_code ec;
#ifdef _WIN32
    std::filesystem::create_directories(
        std::filesystem::path(std::u8string(strCacheFolder.begin(), strCacheFolder.end())), ec);
#else
    std::filesystem::create_directories(strCacheFolder, ec);
#endif
    if (ec) {
        return COutcome::Fail("cannot make the cache folder " + strCacheFolder + ": " +
                              ec.message());
    }
    return WriteFileAtomically(FileFor(strCacheFolder, strDataFolder),
                               Serialise(CanonicalFolder(strDataFolder), levels));
}

const CDaySummary* CSummaryCache::Find(const std::string& strName, std::uint64_t nSize,
                                       std::int64_t nModified) const {
    const auto it = m_days.find(strName);
    if (it == m_days.end() || it->second.nSize != nSize || it->second.nModified != nModified) {
        return nullptr;
    }
    return &it->second.summary;
}

void CSummaryCache::Put(const std::string& strName, std::uint64_t nSize, std::int64_t nModified,
                        const CDaySummary& summary) {
    m_days[strName] = CEntry{nSize, nModified, summary};
}

void CSummaryCache::Retain(const std::vector<std::string>& names) {
    const std::set<std::string> kept(names.begin(), names.end());
    std::erase_if(m_days, [&kept](const auto& entry) { return !kept.contains(entry.first); });
}

std::string CSummaryCache::Serialise(const std::string& strFolderKey,
                                     const CSummaryLevels& levels) const {
    CWriter out;
    out.Raw(MAGIC, sizeof MAGIC);
    out.U32(SUMMARY_CACHE_VERSION);
    out.Text(strFolderKey);
    WriteLevels(out, levels);
    out.U32(static_cast<std::uint32_t>(m_days.size()));
    for (const auto& [strName, entry] : m_days) {
        out.Text(strName);
        out.U64(entry.nSize);
        out.I64(entry.nModified);
        WriteSummary(out, entry.summary);
    }
    out.U64(Fnv1a(out.Str()));
    return std::move(out.Str());
}

bool CSummaryCache::Parse(std::string_view bytes, const std::string& strFolderKey,
                          const CSummaryLevels& levels) {
    m_days.clear();
    // The checksum first: nothing of a damaged file is looked at.
    if (bytes.size() < sizeof MAGIC + 8 ||
        bytes.substr(0, sizeof MAGIC) != std::string_view(MAGIC, sizeof MAGIC)) {
        return false;
    }
    const std::string_view body = bytes.substr(0, bytes.size() - 8);
    CReader tail(bytes.substr(bytes.size() - 8));
    if (tail.U64() != Fnv1a(body)) {
        return false;
    }
    CReader in(body.substr(sizeof MAGIC));
    if (in.U32() != SUMMARY_CACHE_VERSION || in.Text() != strFolderKey) {
        return false;
    }
    CSummaryLevels made;
    made.dWarning = in.F64();
    made.dAlert = in.F64();
    made.nHoldSeconds = in.I32();
    made.dAllClearSeconds = in.F64();
    made.dGapSeconds = in.F64();
    made.dFlashStep = in.F64();
    made.nFlashRate = in.I32();
    if (!in.Ok() || !(made == levels)) {
        return false;
    }
    const std::uint32_t nDays = in.U32();
    std::map<std::string, CEntry> days;
    for (std::uint32_t i = 0; i < nDays && in.Ok(); ++i) {
        std::string strName = in.Text();
        CEntry entry;
        entry.nSize = in.U64();
        entry.nModified = in.I64();
        entry.summary = ReadSummary(in);
        days.emplace(std::move(strName), entry);
    }
    if (!in.Ok() || !in.AtEnd()) {
        return false;
    }
    m_days = std::move(days);
    return true;
}
