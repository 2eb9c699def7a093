#pragma once
// CDayFollower: follows a day's file while the logger appends to it. Each Poll looks at the file
// once: an unchanged file costs one stat; a grown one is read from the end of its last complete
// line only, into the array after the readings already there; one that shrank, was replaced
// (another file under the same name) or was rewritten in place (the bytes before the end of the
// last complete line are no longer those that were read) is read again whole; one that is gone
// is left as it was shown. A last line without its line end waits until it is complete.
//
// It starts from the whole read that loaded the day, with the identity the file had when that
// read opened it, so lines written or a file renamed over between that read and the start are
// not missed.

#include "data/FieldLoader.h"
#include "platform/FileIdentity.h"

#include <span>
#include <string>

enum class EFollow {
    Unchanged,
    Appended,  // samples[nFirstChanged, nRecords) are new
    Reloaded,  // the whole array was read again: samples[0, nRecords), as `whole`
    Gone,      // the file is no longer there; what was read stays
    ReadError, // reading on failed; strError says why, and the next poll tries again
};

struct CFollowStep {
    EFollow eKind = EFollow::Unchanged;
    std::size_t nFirstChanged = 0;
    std::size_t nRecords = 0; // readings of the day now
    bool bFull = false;       // the array is full and the file holds more: it is not stored
    std::string strError;
    CLoadSummary summary; // of the readings read by this step
    CFieldRead whole;     // Reloaded: the new whole read
};

class CDayFollower {
public:
    // Starts from a whole read of strPath whose records fill the start of the array.
    void Start(const std::string& strPath, const CFieldRead& loaded);
    [[nodiscard]] CFollowStep Poll(std::span<FieldSample> samples);

    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    [[nodiscard]] std::size_t Records() const { return m_nRecords; }

private:
    void Remember(const CFieldRead& read, std::size_t nBefore);
    // The bytes just before where the next read begins, as the file holds them now.
    [[nodiscard]] std::string TailBeforeNext() const;
    [[nodiscard]] bool RewrittenInPlace() const;
    // Whether a line end (or the Ctrl-Z that ends the file) has come after m_nScanned, scanning
    // on from there; m_nScanned moves on to what was looked at.
    [[nodiscard]] bool LineEndSince(std::uint64_t nSize);

    std::string m_strPath;
    CFieldReader m_reader;
    CFileIdentity m_identity;
    CReadFrom m_next;             // where the next read begins
    std::string m_strTail;        // the bytes before m_next.nOffset when they were read
    std::uint64_t m_nScanned = 0; // the unfinished last line holds no line end before here
    std::size_t m_nComplete = 0;  // records from complete lines
    std::size_t m_nRecords = 0;   // records shown (an unfinished last line counts after a load)
    bool m_bGone = false;
};
