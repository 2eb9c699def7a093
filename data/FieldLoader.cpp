#include "data/FieldLoader.h"

#include "data/ChartTime.h"
#include "data/FieldParse.h"
#include "platform/SharedFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int COLUMN_HOURS = 0;
constexpr int COLUMN_MINUTES = 3;
constexpr int COLUMN_SECONDS = 6;
constexpr int COLUMN_VALUE = 9;
constexpr char CTRL_Z = 0x1A;
constexpr std::size_t READ_CHUNK = 64 * 1024; // small enough to stay in the cache

// One line as the reader found it.
struct CLineRead {
    int nLength = -1;       // characters kept; -1 at the end of the file or after a read error
    bool bComplete = false; // ended by a line end (or by the Ctrl-Z that ends the file)
    std::uint64_t nEnd = 0; // file offset just past the line and its line end
};

// Reads lines as a text-mode stream does: CR LF and LF both end a line, a lone CR is kept, and a
// Ctrl-Z ends the file. A line gives at most FIELD_LINE_CHARS characters; the rest is dropped.
class CTextLineReader {
public:
    void Reset(CSharedFile* pFile, std::uint64_t nOffset) {
        m_pFile = pFile;
        m_nBase = nOffset;
        m_nPos = 0;
        m_nEnd = 0;
        m_bEof = false;
        m_bCtrlZ = false;
        m_bSkippedHole = false;
        m_bError = false;
    }

    // Fills szLine (FIELD_LINE_CHARS + 2 bytes). A read that fails inside a line drops the line.
    CLineRead ReadLine(char* szLine) {
        CLineRead line;
        std::size_t nRaw = 0; // raw bytes of this line, CR included
        std::size_t nCopied = 0;
        bool bLastCr = false;
        bool bAny = false;
        for (;;) {
            // Past the limit only the line end matters, and a hole in a sparse file has none.
            const bool bSkipping = nCopied > FIELD_LINE_CHARS;
            if (m_nPos == m_nEnd && !Refill(bSkipping)) {
                if (!bAny || m_bError) {
                    return {};
                }
                line.bComplete = m_bCtrlZ; // the file ends inside the line
                break;
            }
            bAny = true;
            if (m_bSkippedHole) {
                bLastCr = false; // zeros came between
            }
            const char* pStart = m_buffer + m_nPos;
            const auto* pNewline =
                static_cast<const char*>(std::memchr(pStart, '\n', m_nEnd - m_nPos));
            const std::size_t nSegment =
                pNewline ? static_cast<std::size_t>(pNewline - pStart) : m_nEnd - m_nPos;
            // Keep one raw byte beyond the limit: it may be the CR of a CR LF.
            const std::size_t nRoom = FIELD_LINE_CHARS + 1 - nCopied;
            const std::size_t nTake = std::min(nRoom, nSegment);
            std::memcpy(szLine + nCopied, pStart, nTake);
            nCopied += nTake;
            if (nSegment > 0) {
                bLastCr = pStart[nSegment - 1] == '\r';
            }
            nRaw += nSegment;
            m_nPos += nSegment;
            if (pNewline != nullptr) {
                ++m_nPos;
                if (bLastCr) {
                    --nRaw; // CR LF reads as LF
                }
                line.bComplete = true;
                break;
            }
        }
        line.nLength = static_cast<int>(std::min<std::size_t>(nRaw, FIELD_LINE_CHARS));
        line.nEnd = m_nBase + m_nPos;
        szLine[line.nLength] = '\0';
        return line;
    }

    [[nodiscard]] bool Failed() const { return m_bError; }

private:
    bool Refill(bool bSkipping) {
        if (m_bEof) {
            return false;
        }
        m_nBase += m_nEnd;
        m_nPos = 0;
        m_nEnd = 0;
        m_bSkippedHole = false;
        if (bSkipping) {
            std::uint64_t nData = 0;
            switch (m_pFile->FindData(m_nBase, &nData)) {
            case CSharedFile::EData::HoleToEnd:
                m_bEof = true; // zeros to the end of the file
                return false;
            case CSharedFile::EData::Data:
                m_bSkippedHole = nData > m_nBase;
                m_nBase = nData;
                break;
            case CSharedFile::EData::Unknown:
                break;
            }
        }
        const std::ptrdiff_t nRead = m_pFile->Read(m_buffer, READ_CHUNK);
        if (nRead <= 0) {
            m_bError = nRead < 0;
            m_bEof = true;
            return false;
        }
        m_nEnd = static_cast<std::size_t>(nRead);
        if (const void* pCtrlZ = std::memchr(m_buffer, CTRL_Z, m_nEnd)) {
            m_nEnd = static_cast<std::size_t>(static_cast<const char*>(pCtrlZ) - m_buffer);
            m_bEof = true;
            m_bCtrlZ = true;
            return m_nEnd > 0;
        }
        return true;
    }

    CSharedFile* m_pFile = nullptr;
    std::uint64_t m_nBase = 0; // file offset of m_buffer[0]
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bEof = false;
    bool m_bCtrlZ = false;
    bool m_bSkippedHole = false; // the last refill jumped over a hole
    bool m_bError = false;       // a read failed; the file says why
    char m_buffer[READ_CHUNK];
};

// The open shares the file with the logger, which may keep writing it meanwhile.
bool OpenShared(CSharedFile& file, const std::string& strPath, CFieldRead* pResult) {
    switch (file.Open(strPath)) {
    case ESharedOpen::Opened:
        pResult->eOpen = EFieldOpen::Opened;
        return true;
    case ESharedOpen::NotFound:
        pResult->eOpen = EFieldOpen::NotFound;
        break;
    case ESharedOpen::NotRegular:
        pResult->eOpen = EFieldOpen::NotRegular;
        break;
    }
    pResult->strOpenError = file.Error();
    return false;
}

bool ParseLine(const char* szLine, int nLength, const CDayClock& clock, FieldSample* pSample) {
    // Columns past the end of a short line read as empty.
    int nHours = 0;
    int nMinutes = 0;
    int nSeconds = 0;
    if ((nLength > COLUMN_HOURS && !ParseIntField(szLine + COLUMN_HOURS, &nHours)) ||
        (nLength > COLUMN_MINUTES && !ParseIntField(szLine + COLUMN_MINUTES, &nMinutes)) ||
        (nLength > COLUMN_SECONDS && !ParseIntField(szLine + COLUMN_SECONDS, &nSeconds))) {
        return false;
    }
    double dTime = 0.0;
    if (!clock.ChartTimeOf(nHours, nMinutes, nSeconds, &dTime)) {
        return false;
    }
    pSample->dTime = dTime;
    pSample->dValue = nLength > COLUMN_VALUE ? ParseRealField(szLine + COLUMN_VALUE) : 0.0;
    return true;
}

void Warn(CFieldRead& result, long nLine, std::string strText) {
    if (result.warnings.size() < MAX_FIELD_WARNINGS) {
        result.warnings.push_back({nLine, std::move(strText)});
    }
}

// The scales of what was read: M is the ceiling of the largest finite magnitude (at least 1);
// the time range is the day that holds the last record, or the loaded day without one.
void SummariseScales(std::span<const FieldSample> records, CLoadSummary* pSummary) {
    pSummary->dScale = ValueScaleOf(pSummary->bAnyFinite, pSummary->dValueMin, pSummary->dValueMax);
    const double dLast = records.empty() ? 1460.0 : records.back().dTime;
    pSummary->dTimeHigh = records.empty() ? 1461.0 : std::ceil(dLast);
    pSummary->dTimeLow = std::floor(dLast);
}
} // namespace

double ValueScaleOf(bool bAnyFinite, double dMin, double dMax) {
    double dMagnitude = 1.0;
    if (bAnyFinite) {
        dMagnitude = std::max({dMagnitude, std::fabs(dMin), std::fabs(dMax)});
    }
    return std::ceil(dMagnitude);
}

// What a reader keeps between reads: the line buffer, and the clock for the zone in force. Every
// reading lies on 1 January 2004, so the probe of that day holds until the zone itself changes: a
// read of a few appended lines need not probe again.
struct CFieldReader::CImpl {
    CTextLineReader reader;
    CDayClock clock;
    std::string strZone;
    bool bPrepared = false;

    const CDayClock& PreparedClock() {
        const char* pszZone = std::getenv("TZ");
        std::string strNow = pszZone != nullptr ? std::string("=") + pszZone : std::string();
        if (!bPrepared || strNow != strZone) {
            clock.Prepare();
            strZone = std::move(strNow);
            bPrepared = true;
        }
        return clock;
    }
};

CFieldReader::CFieldReader() : m_pImpl(std::make_unique<CImpl>()) {}
CFieldReader::~CFieldReader() = default;
CFieldReader::CFieldReader(CFieldReader&&) noexcept = default;
CFieldReader& CFieldReader::operator=(CFieldReader&&) noexcept = default;

CFieldRead ReadFieldFile(const std::string& strPath, std::span<FieldSample> samples,
                         CReadFrom from) {
    CFieldReader reader;
    return reader.Read(strPath, samples, from);
}

CFieldRead CFieldReader::Read(const std::string& strPath, std::span<FieldSample> samples,
                              CReadFrom from) {
    CFieldRead result;
    CSharedFile file;
    if (!OpenShared(file, strPath, &result)) {
        return result;
    }
    result.identity = file.Identity();
    result.nEndOffset = from.nOffset;
    result.nNextLine = from.nLine;
    if (from.nOffset > 0 && !file.Seek(from.nOffset)) {
        result.strReadError = file.Error();
    }
    const CDayClock& clock = m_pImpl->PreparedClock();
    CTextLineReader& reader = m_pImpl->reader;
    reader.Reset(&file, from.nOffset);

    CLoadSummary& summary = result.summary;
    char szLine[FIELD_LINE_CHARS + 2];
    long nLine = from.nLine;
    std::size_t n = 0;
    while (result.strReadError.empty() && n < samples.size()) {
        const CLineRead line = reader.ReadLine(szLine);
        if (line.nLength < 0) {
            break;
        }
        result.bLastLineComplete = line.bComplete;
        if (line.bComplete) {
            result.nEndOffset = line.nEnd;
            result.nNextLine = nLine + 1;
        }
        FieldSample& sample = samples[n];
        if (!ParseLine(szLine, line.nLength, clock, &sample)) {
            ++summary.nSkipped;
            Warn(result, nLine, "the time cannot be represented; the line was skipped");
            ++nLine;
            continue;
        }
        // The scale must show every reading, negative ones too; nan and inf never size it.
        const double dValue = sample.dValue;
        if (std::isfinite(dValue)) {
            if (!summary.bAnyFinite || dValue < summary.dValueMin) {
                summary.dValueMin = dValue;
                summary.nMinIndex = n;
            }
            if (!summary.bAnyFinite || dValue > summary.dValueMax) {
                summary.dValueMax = dValue;
                summary.nMaxIndex = n;
            }
            summary.bAnyFinite = true;
        }
        ++n;
        ++nLine;
        if (line.bComplete) {
            result.nCompleteRecords = n;
        }
    }
    if (reader.Failed()) {
        result.strReadError = file.Error();
    }
    if (!result.strReadError.empty()) {
        summary.bReadError = true;
        Warn(result, nLine, "read error: " + result.strReadError);
    }
    file.Close();

    result.records = samples.first(n);
    summary.nRecords = static_cast<int>(n);
    SummariseScales(result.records, &summary);
    return result;
}

COutcome OutcomeOfRead(const std::string& strPath, const CFieldRead& day) {
    switch (day.eOpen) {
    case EFieldOpen::NotFound:
        return COutcome::Fail("File not found: " + strPath);
    case EFieldOpen::NotRegular:
        return COutcome::Fail("Not a regular file: " + strPath);
    case EFieldOpen::Opened:
        break;
    }
    if (!day.strReadError.empty()) {
        return COutcome::Fail("Read error: " + strPath + ": " + day.strReadError);
    }
    return {};
}
