#include "data/FieldLoader.h"

#include "data/ChartTime.h"
#include "data/FieldParse.h"
#include "platform/Automation.h"
#include "ui/Strip.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FieldSample g_Samples[MAX_FIELD_SAMPLES];

namespace {
constexpr int COLUMN_HOURS = 0;
constexpr int COLUMN_MINUTES = 3;
constexpr int COLUMN_SECONDS = 6;
constexpr int COLUMN_VALUE = 9;
constexpr char CTRL_Z = 0x1A;
constexpr std::size_t READ_CHUNK = 64 * 1024;

// Reads lines as a text-mode stream does: CR LF and LF both end a line, a lone CR is kept, and a
// Ctrl-Z ends the file. A line gives at most FIELD_LINE_CHARS characters; the rest is dropped.
class CTextLineReader {
public:
    void Reset(int fd) {
        m_fd = fd;
        m_nPos = 0;
        m_nEnd = 0;
        m_bEof = false;
        m_bError = false;
    }

    // Fills szLine (FIELD_LINE_CHARS + 1 bytes) and returns the line's length, or -1 at the end
    // of the file or after a read error.
    int ReadLine(char* szLine) {
        std::size_t nRaw = 0; // raw bytes of this line, CR included
        std::size_t nCopied = 0;
        bool bLastCr = false;
        bool bAny = false;
        for (;;) {
            if (m_nPos == m_nEnd && !Refill()) {
                if (!bAny) {
                    return -1;
                }
                break; // the last line has no line end
            }
            bAny = true;
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
                break;
            }
        }
        const std::size_t nLength = std::min<std::size_t>(nRaw, FIELD_LINE_CHARS);
        szLine[nLength] = '\0';
        return static_cast<int>(nLength);
    }

    [[nodiscard]] bool HadError() const { return m_bError; }

private:
    bool Refill() {
        if (m_bEof) {
            return false;
        }
        ssize_t nRead = 0;
        do {
            nRead = ::read(m_fd, m_buffer, READ_CHUNK);
        } while (nRead < 0 && errno == EINTR);
        if (nRead <= 0) {
            m_bError = nRead < 0;
            m_bEof = true;
            return false;
        }
        m_nPos = 0;
        m_nEnd = static_cast<std::size_t>(nRead);
        if (const void* pCtrlZ = std::memchr(m_buffer, CTRL_Z, m_nEnd)) {
            m_nEnd = static_cast<std::size_t>(static_cast<const char*>(pCtrlZ) - m_buffer);
            m_bEof = true;
            return m_nEnd > 0;
        }
        return true;
    }

    int m_fd = -1;
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bEof = false;
    bool m_bError = false;
    char m_buffer[READ_CHUNK];
};

// One buffer serves every load (loads run one at a time on the UI thread): no allocation per
// line or per load.
CTextLineReader g_Reader;

int OpenShared(const std::string& strPath) {
    // POSIX opens never lock others out: other processes may keep writing the file meanwhile.
    int fd = -1;
    do {
        fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
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

} // namespace

void HandOverPoints(CStrip& chart, const FieldSample* pSamples, int nRecords) {
    SAFEARRAY* psa = nullptr;
    if (SafeArrayAllocDescriptor(2, &psa) != S_OK) {
        return;
    }
    psa->cbElements = sizeof(double);
    psa->pvData = const_cast<FieldSample*>(pSamples);           // the chart only reads it
    psa->rgsabound[0].cElements = static_cast<ULONG>(nRecords); // the record index
    psa->rgsabound[0].lLbound = 0;
    psa->rgsabound[1].cElements = 2; // 0: time, 1: value
    psa->rgsabound[1].lLbound = 0;
    VARIANT varPoints;
    varPoints.vt = VT_ARRAY | VT_R8;
    varPoints.parray = psa;
    chart.InvokeMethod129(0, &varPoints);
    SafeArrayDestroyDescriptor(psa);
}
BOOL LoadFieldFile(const std::string& strPath, CStrip& chart, CLoadSummary* pSummary) {
    const int fd = OpenShared(strPath);
    if (fd < 0) {
        return FALSE;
    }
    CDayClock clock;
    clock.Prepare();
    CTextLineReader& reader = g_Reader;
    reader.Reset(fd);

    CLoadSummary summary;
    char szLine[FIELD_LINE_CHARS + 2];
    double dMagnitude = 1.0;
    bool bAnyFinite = false;
    int n = 0;
    while (n < MAX_FIELD_SAMPLES) {
        const int nLength = reader.ReadLine(szLine);
        if (nLength < 0) {
            break;
        }
        FieldSample& sample = g_Samples[n];
        if (!ParseLine(szLine, nLength, clock, &sample)) {
            ++summary.nSkipped;
            continue;
        }
        const double dValue = sample.dValue;
        // The scale must show every reading, negative ones too; nan and inf never size it.
        if (std::isfinite(dValue)) {
            dMagnitude = std::max(dMagnitude, std::fabs(dValue));
            summary.dValueMin = bAnyFinite ? std::min(summary.dValueMin, dValue) : dValue;
            summary.dValueMax = bAnyFinite ? std::max(summary.dValueMax, dValue) : dValue;
            bAnyFinite = true;
        }
        ++n;
    }
    summary.bReadError = reader.HadError();
    summary.nRecords = n;
    summary.bAnyFinite = bAnyFinite;

    HandOverPoints(chart, g_Samples, n);

    const double dScale = std::ceil(dMagnitude);
    chart.SetPropertyR8(ChartId::VALUE_MAX, dScale);
    chart.SetPropertyR8(ChartId::VALUE_MIN, -dScale);

    // Without a record there is no last time: show the day itself.
    const double dLast = n > 0 ? g_Samples[n - 1].dTime : 1460.0;
    const double dHigh = n > 0 ? std::ceil(dLast) : 1461.0;
    const double dLow = std::floor(dLast);
    chart.SetPropertyR8(ChartId::TIME_END_24, dHigh);
    chart.SetPropertyR8(ChartId::TIME_SPAN_22, 1.0);
    chart.SetPropertyR8(ChartId::TIME_MIN, dLow);
    chart.SetPropertyR8(ChartId::TIME_MAX, dHigh);

    ::close(fd);

    summary.dScale = dScale;
    summary.dTimeLow = dLow;
    summary.dTimeHigh = dHigh;
    if (pSummary != nullptr) {
        *pSummary = summary;
    }
    return TRUE;
}
