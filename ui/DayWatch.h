#pragma once
// CDayWatch: notices when the day's file in view changes and has the day document read what is
// new. The file system's notifications bring a change within moments; in a burst of them (a
// logger writing line by line) the first is looked at at once and the rest together a moment
// later. A poll every second catches what
// they miss (network shares, editors that replace files). With "follow newest file" on, the poll
// and the folder's own notifications (never the file's) look for the next day's file in the
// folder and name it to the window; a file that could not be opened is not named again until it
// changes.
//
// Lives on the UI thread with the window.

#include "platform/FileIdentity.h"
#include "platform/Outcome.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <string>

class CDayDocument;

class CDayWatch : public QObject {
public:
    // Opens the next day's file; the outcome says why not.
    using NewFileFn = std::function<COutcome(const std::string&)>;
    // Says once, on the status line, why a next day's file was not opened.
    using ReportFn = std::function<void(const std::string&)>;

    CDayWatch(CDayDocument& day, NewFileFn onNewFile, ReportFn onReport,
              QObject* pParent = nullptr);

    // Follows the document's day from its last whole read.
    void Start();
    void Stop();
    [[nodiscard]] bool Active() const { return m_bActive; }
    // Whether to look for the next day's file in the folder.
    void SetFollowNewest(bool bFollow) { m_bFollowNewest = bFollow; }

    // Looks at the file and, with follow newest on, at the folder (the timer calls it).
    void Poll();

private:
    void PollFile();
    void LookForNewest();
    void Watch();

    CDayDocument& m_day;
    NewFileFn m_onNewFile;
    ReportFn m_onReport;
    QFileSystemWatcher m_watcher;
    QTimer m_timer;
    QTimer m_soon;          // the settling time after a look that a notification caused
    bool m_bMissed = false; // notifications came within it
    bool m_bActive = false;
    bool m_bFollowNewest = false;
    std::string m_strRefused; // a next day's file that could not be opened
    CFileIdentity m_refused;  // as it was then
};
