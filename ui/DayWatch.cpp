#include "ui/DayWatch.h"

#include "data/NextDayFile.h"
#include "doc/DayDocument.h"

#include <QFileInfo>

namespace {
constexpr int POLL_MS = 1000;
// A logger writing line by line sends a notification per line: at most one look per this time.
constexpr int NOTIFY_SETTLE_MS = 50;
} // namespace

CDayWatch::CDayWatch(CDayDocument& day, NewFileFn onNewFile, ReportFn onReport, QObject* pParent)
    : QObject(pParent), m_day(day), m_onNewFile(std::move(onNewFile)),
      m_onReport(std::move(onReport)) {
    m_timer.setInterval(POLL_MS);
    m_soon.setSingleShot(true);
    m_soon.setInterval(NOTIFY_SETTLE_MS);
    QObject::connect(&m_timer, &QTimer::timeout, this, &CDayWatch::Poll);
    // The first notification is looked at at once; those that follow within the settling time
    // make one more look at its end.
    QObject::connect(&m_soon, &QTimer::timeout, this, [this] {
        if (m_bMissed) {
            m_bMissed = false;
            m_soon.start();
            PollFile();
        }
    });
    QObject::connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] {
        if (m_soon.isActive()) {
            m_bMissed = true;
            return;
        }
        m_soon.start();
        PollFile();
    });
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &CDayWatch::Poll);
}

void CDayWatch::Start() {
    m_day.StartFollowing();
    m_bActive = m_day.Following();
    if (!m_bActive) {
        return;
    }
    Watch();
    m_timer.start();
}

void CDayWatch::Stop() {
    m_bActive = false;
    m_day.StopFollowing();
    m_timer.stop();
    m_soon.stop();
    if (!m_watcher.files().isEmpty()) {
        m_watcher.removePaths(m_watcher.files());
    }
    if (!m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.directories());
    }
}

void CDayWatch::Watch() {
    // A file replaced under its name drops out of the watch: watch it again, and its folder.
    const QString strFile = QString::fromLocal8Bit(m_day.Path().c_str());
    if (!m_watcher.files().contains(strFile) && QFileInfo::exists(strFile)) {
        m_watcher.addPath(strFile);
    }
    const QString strFolder = QFileInfo(strFile).absolutePath();
    if (m_watcher.directories().isEmpty()) {
        m_watcher.addPath(strFolder);
    }
}

void CDayWatch::PollFile() {
    if (!m_bActive) {
        return;
    }
    m_day.Poll();
    if (m_bActive) { // a listener may have stopped the watch
        Watch();
    }
}

void CDayWatch::Poll() {
    PollFile();
    if (m_bActive && m_bFollowNewest) {
        LookForNewest();
    }
}

void CDayWatch::LookForNewest() {
    const std::string strNext = NextDayFile(m_day.Path());
    if (strNext.empty() || !m_onNewFile) {
        return;
    }
    const CFileIdentity now = IdentityOf(strNext);
    if (strNext == m_strRefused && now.SameFile(m_refused) && now.nSize == m_refused.nSize &&
        now.nModified == m_refused.nModified) {
        return; // said once already; tried again when it changes
    }
    if (const COutcome opened = m_onNewFile(strNext); !opened.Ok()) {
        m_strRefused = strNext;
        m_refused = now;
        if (m_onReport) {
            m_onReport(opened.Error());
        }
    } else {
        m_strRefused.clear();
    }
}
