#include "data/DayFollower.h"

#include "platform/SharedFile.h"

#include <algorithm>

namespace {
// Enough of the last complete line to tell a rewrite: its time and value, and the line end.
constexpr std::uint64_t TAIL_BYTES = 32;
// A last line longer than a line gives (FIELD_LINE_CHARS and its line end) has its record
// already: what follows only needs looking at for the line's end, never reading again.
constexpr std::uint64_t LONG_LINE = FIELD_LINE_CHARS + 2;
constexpr std::size_t SCAN_CHUNK = 64 * 1024;
constexpr char CTRL_Z = 0x1A;
} // namespace

void CDayFollower::Start(const std::string& strPath, const CFieldRead& loaded) {
    m_strPath = strPath;
    m_identity = loaded.identity; // as the read found the file, not as it is now
    m_bGone = false;
    Remember(loaded, 0);
    m_nRecords = loaded.records.size(); // as loaded: an unfinished last line shows
}

void CDayFollower::Remember(const CFieldRead& read, std::size_t nBefore) {
    m_next = {read.nEndOffset, read.nNextLine};
    // A read that ended inside a line went through the file as it was when opened.
    m_nScanned =
        read.bLastLineComplete ? m_next.nOffset : std::max(m_next.nOffset, read.identity.nSize);
    m_nComplete = nBefore + read.nCompleteRecords;
    m_nRecords = m_nComplete;
    m_strTail = TailBeforeNext();
}

std::string CDayFollower::TailBeforeNext() const {
    const std::uint64_t nCount = std::min(TAIL_BYTES, m_next.nOffset);
    std::string strTail(static_cast<std::size_t>(nCount), '\0');
    CSharedFile file;
    if (nCount == 0 || file.Open(m_strPath) != ESharedOpen::Opened ||
        !file.Seek(m_next.nOffset - nCount)) {
        return {};
    }
    std::size_t nGot = 0;
    while (nGot < strTail.size()) {
        const std::ptrdiff_t n = file.Read(strTail.data() + nGot, strTail.size() - nGot);
        if (n <= 0) {
            break;
        }
        nGot += static_cast<std::size_t>(n);
    }
    strTail.resize(nGot);
    return strTail;
}

bool CDayFollower::LineEndSince(std::uint64_t nSize) {
    CSharedFile file;
    if (file.Open(m_strPath) != ESharedOpen::Opened || !file.Seek(m_nScanned)) {
        return true; // cannot tell: read on as ever
    }
    char buffer[SCAN_CHUNK];
    while (m_nScanned < nSize) {
        const std::ptrdiff_t n = file.Read(buffer, sizeof buffer);
        if (n <= 0) {
            return true;
        }
        const char* pEnd = buffer + n;
        if (std::find_if(static_cast<const char*>(buffer), pEnd,
                         [](char c) { return c == '\n' || c == CTRL_Z; }) != pEnd) {
            return true;
        }
        m_nScanned += static_cast<std::uint64_t>(n);
    }
    return false;
}

bool CDayFollower::RewrittenInPlace() const {
    return TailBeforeNext() != m_strTail;
}

CFollowStep CDayFollower::Poll(std::span<FieldSample> samples) {
    CFollowStep step;
    const CFileIdentity now = IdentityOf(m_strPath);
    step.nRecords = m_nRecords;
    // Full: no room is left and the file holds more than was read.
    auto isFull = [&] { return m_nComplete >= samples.size() && now.nSize > m_next.nOffset; };
    step.bFull = isFull();
    if (!now.bExists) {
        if (!m_bGone) {
            m_bGone = true;
            step.eKind = EFollow::Gone;
        }
        return step;
    }
    if (!m_bGone && now.SameFile(m_identity) && now.nSize == m_identity.nSize &&
        now.nModified == m_identity.nModified) {
        return step;
    }
    const bool bReplaced =
        m_bGone || !now.SameFile(m_identity) || now.nSize < m_next.nOffset || RewrittenInPlace();
    m_bGone = false;
    if (bReplaced) {
        CFieldRead read = m_reader.Read(m_strPath, samples);
        if (const COutcome outcome = OutcomeOfRead(m_strPath, read); !outcome.Ok()) {
            step.eKind = EFollow::ReadError;
            step.strError = outcome.Error();
            return step;
        }
        m_identity = read.identity;
        Remember(read, 0);
        m_nRecords = read.records.size();
        step.eKind = EFollow::Reloaded;
        step.nRecords = m_nRecords;
        step.summary = read.summary;
        step.whole = std::move(read);
        step.bFull = isFull();
        return step;
    }
    if (m_nComplete >= samples.size()) {
        m_identity = now; // nothing fits: the file is looked at again only when it changes
        return step;
    }
    if (m_nScanned > m_next.nOffset + LONG_LINE && !LineEndSince(now.nSize)) {
        m_identity = now; // a long unfinished line grew, still without its end
        return step;
    }
    // Grown, or only touched: read on from the last complete line, over an unfinished one.
    const std::size_t nBefore = m_nComplete;
    const CFieldRead read = m_reader.Read(m_strPath, samples.subspan(nBefore), m_next);
    if (!read.strReadError.empty() || !read.Opened()) {
        step.eKind = EFollow::ReadError;
        step.strError = OutcomeOfRead(m_strPath, read).Error();
        return step;
    }
    m_identity = read.identity;
    const std::size_t nShownBefore = m_nRecords;
    Remember(read, nBefore);
    step.nFirstChanged = std::min(nBefore, nShownBefore);
    step.nRecords = m_nRecords;
    step.summary = read.summary;
    step.bFull = isFull();
    step.eKind = step.nFirstChanged == step.nRecords && nShownBefore == m_nRecords
                     ? EFollow::Unchanged
                     : EFollow::Appended;
    return step;
}
