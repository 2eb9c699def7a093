#pragma once
// CDayDocument: the one open day. It owns what the viewer knows of it: the path, the readings in
// the day's array, the last whole read, the date from the file's name, the day's lowest and
// highest readings and its value scale, and the follower that reads on while the logger writes.
//
// Every way a day arrives goes through it: a file opened (start-up, File > Open, the next day's
// file), a read made ahead on another thread (Adopt), and each look at a followed file (Poll),
// which may append readings, replace the day with a new read of a replaced file, or find the file
// gone or unreadable. It announces each change to its listeners, in the order they listen; the
// window, the chart's feed, the status line and the alarm watch are listeners. It draws nothing
// and words nothing for the user beyond what the reader's outcome says.

#include "data/DayFollower.h"
#include "data/FieldLoader.h"
#include "data/FileDate.h"
#include "platform/Outcome.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

enum class EDayChange {
    NewDay,   // a whole day was read: Records() is all of it
    Appended, // Records() from nFirstChanged on are new (or replace an unfinished last line)
    Gone,     // the file is no longer there; what was read stays
    Trouble,  // reading on failed; strError says why, once for each new cause
    Full,     // the array is full and the file holds more: later readings are not stored
};

struct CDayChange {
    EDayChange eKind = EDayChange::NewDay;
    std::size_t nFirstChanged = 0;
    std::string strError;
    bool bReread = false; // NewDay: the followed file was replaced and read again
};

// A reading and when it was taken.
struct CDayExtreme {
    double dValue = 0.0;
    double dTime = 0.0;
};

// The lowest and highest finite readings of the day, kept as readings arrive.
struct CDayExtremes {
    bool bAny = false;
    CDayExtreme min;
    CDayExtreme max;
    std::size_t nMinIndex = 0;
    std::size_t nMaxIndex = 0;
};

class CDayDocument {
public:
    using Listener = std::function<void(const CDayChange&)>;

    explicit CDayDocument(std::span<FieldSample> samples);
    CDayDocument(const CDayDocument&) = delete;
    CDayDocument& operator=(const CDayDocument&) = delete;

    // Listeners hear each change in the order they began to listen; the number lets one stop.
    int Listen(Listener fnListener);
    void StopListening(int nListener);

    // What an open did: whether the file became the day, and why it is not whole if it is not.
    struct COpened {
        bool bOpened = false;
        COutcome outcome;
        std::string strReason; // the system's reason when not opened
    };
    // Reads strPath whole. When it opens it becomes the day (NewDay, a read error included: what
    // was read shows); when it does not, nothing changes.
    COpened Open(const std::string& strPath);
    // A whole read of strPath made elsewhere into Samples() (the start-up file, read on a thread
    // of its own), taken as Open takes its own.
    COpened Adopt(const std::string& strPath, const CFieldRead& read);

    // Reading on while the logger writes: Poll looks at the file once.
    void StartFollowing();
    void StopFollowing() { m_bFollowing = false; }
    [[nodiscard]] bool Following() const { return m_bFollowing; }
    void Poll();

    [[nodiscard]] bool HasDay() const { return m_bHasDay; }
    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    [[nodiscard]] std::span<const FieldSample> Records() const {
        return std::span<const FieldSample>(m_samples).first(m_nRecords);
    }
    // The array every read fills; a read made elsewhere writes here before Adopt.
    [[nodiscard]] std::span<FieldSample> Samples() const { return m_samples; }
    // The last whole read: its summary, warnings and read error.
    [[nodiscard]] const CFieldRead& WholeRead() const { return m_read; }
    [[nodiscard]] const std::optional<CFileDate>& Date() const { return m_date; }
    [[nodiscard]] const CDayExtremes& Extremes() const { return m_extremes; }
    // M of the value range [-M, M]: the smallest whole number at or above every finite reading's
    // magnitude, at least 1. It only grows as readings are appended.
    [[nodiscard]] double ValueScale() const { return m_dScale; }
    // The day's time range, as the whole read found it.
    [[nodiscard]] double TimeLow() const { return m_read.summary.dTimeLow; }
    [[nodiscard]] double TimeHigh() const { return m_read.summary.dTimeHigh; }
    [[nodiscard]] bool Full() const { return m_bFull; }
    [[nodiscard]] bool Gone() const { return m_bGone; }

private:
    void TakeDay(const std::string& strPath, const CFieldRead& read);
    void FoldExtremes(std::size_t nFrom);
    void Announce(const CDayChange& change);

    std::span<FieldSample> m_samples;
    std::vector<std::pair<int, Listener>> m_listeners;
    int m_nNextListener = 1;
    CFieldReader m_reader;
    CDayFollower m_follower;

    bool m_bHasDay = false;
    std::string m_strPath;
    CFieldRead m_read;
    std::size_t m_nRecords = 0;
    std::optional<CFileDate> m_date;
    CDayExtremes m_extremes;
    double m_dScale = 1.0;
    bool m_bFollowing = false;
    bool m_bFull = false;
    bool m_bGone = false;
    std::string m_strTrouble; // the cause last announced, so that each is said once
};
