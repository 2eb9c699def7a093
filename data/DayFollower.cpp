#include "data/DayFollower.h"

void CDayFollower::Start(const std::string& strPath, const CFieldRead& loaded) {
    m_strPath = strPath;
    m_identity = IdentityOf(strPath);
    m_bGone = false;
    Remember(loaded, 0);
    m_nRecords = loaded.records.size(); // as loaded: an unfinished last line shows
}

void CDayFollower::Remember(const CFieldRead& read, std::size_t nBefore) {
    m_next = {read.nEndOffset, read.nNextLine};
    m_nComplete = nBefore + read.nCompleteRecords;
    m_nRecords = m_nComplete;
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
    const bool bReplaced = m_bGone || !now.SameFile(m_identity) || now.nSize < m_next.nOffset;
    if (!bReplaced && now.nSize == m_identity.nSize && now.nModified == m_identity.nModified) {
        return step;
    }
    m_bGone = false;
    if (bReplaced) {
        const CFieldRead read = ReadFieldFile(m_strPath, samples);
        if (const COutcome outcome = OutcomeOfRead(m_strPath, read); !outcome.Ok()) {
            step.eKind = EFollow::ReadError;
            step.strError = outcome.Error();
            return step;
        }
        m_identity = now;
        Remember(read, 0);
        m_nRecords = read.records.size();
        step.eKind = EFollow::Reloaded;
        step.nRecords = m_nRecords;
        step.summary = read.summary;
        step.bFull = isFull();
        return step;
    }
    // Grown, or only touched: read on from the last complete line, over an unfinished one.
    const std::size_t nBefore = std::min(m_nComplete, samples.size());
    const CFieldRead read = ReadFieldFile(m_strPath, samples.subspan(nBefore), m_next);
    if (!read.strReadError.empty() || !read.Opened()) {
        step.eKind = EFollow::ReadError;
        step.strError = OutcomeOfRead(m_strPath, read).Error();
        return step;
    }
    m_identity = now;
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
