#include "doc/DayDocument.h"

#include <cmath>

CDayDocument::CDayDocument(std::span<FieldSample> samples) : m_samples(samples) {}

CDayDocument::COpened CDayDocument::Open(const std::string& strPath) {
    const CFieldRead read = m_reader.Read(strPath, m_samples);
    return Adopt(strPath, read);
}

CDayDocument::COpened CDayDocument::Adopt(const std::string& strPath, const CFieldRead& read) {
    COpened opened{read.Opened(), OutcomeOfRead(strPath, read), read.strOpenError};
    if (opened.bOpened) {
        TakeDay(strPath, read);
        Announce({EDayChange::NewDay, 0, {}});
    }
    return opened;
}

void CDayDocument::TakeDay(const std::string& strPath, const CFieldRead& read) {
    m_bHasDay = true;
    m_strPath = strPath;
    m_read = read;
    m_nRecords = read.records.size();
    m_date = FileDateOf(strPath);
    m_bGone = false;
    m_strTrouble.clear();
    // Full only when the file holds more than the day's array took.
    m_bFull = m_nRecords >= m_samples.size() && read.identity.nSize > read.nEndOffset;
    // The read found the extremes on its way: no second pass over the day.
    const CLoadSummary& summary = read.summary;
    m_extremes = {};
    if (summary.bAnyFinite) {
        m_extremes = {true,
                      {summary.dValueMin, m_samples[summary.nMinIndex].dTime},
                      {summary.dValueMax, m_samples[summary.nMaxIndex].dTime},
                      summary.nMinIndex,
                      summary.nMaxIndex};
    }
    m_dScale = summary.dScale;
    if (m_bFollowing) {
        m_follower.Start(m_strPath, m_read);
    }
}

void CDayDocument::FoldExtremes(std::size_t nFrom) {
    for (std::size_t i = nFrom; i < m_nRecords; ++i) {
        const FieldSample& sample = m_samples[i];
        if (!std::isfinite(sample.dValue)) {
            continue;
        }
        if (!m_extremes.bAny || sample.dValue < m_extremes.min.dValue) {
            m_extremes.min = {sample.dValue, sample.dTime};
            m_extremes.nMinIndex = i;
        }
        if (!m_extremes.bAny || sample.dValue > m_extremes.max.dValue) {
            m_extremes.max = {sample.dValue, sample.dTime};
            m_extremes.nMaxIndex = i;
        }
        m_extremes.bAny = true;
    }
}

void CDayDocument::StartFollowing() {
    m_bFollowing = true;
    // A day with a read error is not followed: what follows the error is unknown.
    if (m_bHasDay && m_read.strReadError.empty()) {
        m_follower.Start(m_strPath, m_read);
    } else {
        m_bFollowing = false;
    }
}

void CDayDocument::Poll() {
    if (!m_bFollowing || !m_bHasDay) {
        return;
    }
    CFollowStep step = m_follower.Poll(m_samples);
    switch (step.eKind) {
    case EFollow::Unchanged:
        m_strTrouble.clear();
        break;
    case EFollow::Gone:
        m_bGone = true;
        Announce({EDayChange::Gone, 0, {}});
        break;
    case EFollow::ReadError:
        if (step.strError != m_strTrouble) {
            m_strTrouble = step.strError;
            Announce({EDayChange::Trouble, 0, step.strError});
        }
        return;
    case EFollow::Reloaded:
        TakeDay(m_strPath, step.whole);
        Announce({EDayChange::NewDay, 0, {}, true});
        return;
    case EFollow::Appended: {
        m_strTrouble.clear();
        const std::size_t nFirst = step.nFirstChanged;
        // A replaced unfinished line may have held the lowest or highest reading.
        const bool bRefold =
            m_extremes.bAny && (m_extremes.nMinIndex >= nFirst || m_extremes.nMaxIndex >= nFirst);
        m_nRecords = step.nRecords;
        if (bRefold) {
            m_extremes = {};
            FoldExtremes(0);
        } else {
            FoldExtremes(nFirst);
        }
        if (m_extremes.bAny) {
            m_dScale = std::max(m_dScale,
                                ValueScaleOf(true, m_extremes.min.dValue, m_extremes.max.dValue));
        }
        Announce({EDayChange::Appended, nFirst, {}});
        break;
    }
    }
    if (step.bFull != m_bFull) {
        m_bFull = step.bFull;
        if (m_bFull) {
            Announce({EDayChange::Full, 0, {}});
        }
    }
}

int CDayDocument::Listen(Listener fnListener) {
    m_listeners.emplace_back(m_nNextListener, std::move(fnListener));
    return m_nNextListener++;
}

void CDayDocument::StopListening(int nListener) {
    std::erase_if(m_listeners, [nListener](const auto& entry) { return entry.first == nListener; });
}

void CDayDocument::Announce(const CDayChange& change) {
    // A listener may open another day from here (the next day's file): take the list as it is.
    const auto listeners = m_listeners;
    for (const auto& [nListener, fnListener] : listeners) {
        fnListener(change);
    }
}
