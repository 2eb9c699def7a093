#include "ui/DayWatch.h"

#include "data/NextDayFile.h"

#include <QFileInfo>

namespace {
constexpr int POLL_MS = 1000;
}

CDayWatch::CDayWatch(std::span<FieldSample> samples, StepFn onStep, NewFileFn onNewFile,
                     QObject* pParent)
    : QObject(pParent), m_samples(samples), m_onStep(std::move(onStep)),
      m_onNewFile(std::move(onNewFile)) {
    m_timer.setInterval(POLL_MS);
    QObject::connect(&m_timer, &QTimer::timeout, this, &CDayWatch::Poll);
    QObject::connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &CDayWatch::Poll);
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &CDayWatch::Poll);
}

void CDayWatch::Start(const std::string& strPath, const CFieldRead& loaded) {
    m_follower.Start(strPath, loaded);
    m_bActive = true;
    Watch();
    m_timer.start();
}

void CDayWatch::Stop() {
    m_bActive = false;
    m_timer.stop();
    if (!m_watcher.files().isEmpty()) {
        m_watcher.removePaths(m_watcher.files());
    }
    if (!m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.directories());
    }
}

void CDayWatch::Watch() {
    // A file replaced under its name drops out of the watch: watch it again, and its folder.
    const QString strFile = QString::fromLocal8Bit(m_follower.Path().c_str());
    if (!m_watcher.files().contains(strFile) && QFileInfo::exists(strFile)) {
        m_watcher.addPath(strFile);
    }
    const QString strFolder = QFileInfo(strFile).absolutePath();
    if (m_watcher.directories().isEmpty()) {
        m_watcher.addPath(strFolder);
    }
}

void CDayWatch::Poll() {
    if (!m_bActive) {
        return;
    }
    const CFollowStep step = m_follower.Poll(m_samples);
    if (step.eKind != EFollow::Unchanged && m_onStep) {
        m_onStep(step);
    }
    Watch();
    if (m_bFollowNewest && m_onNewFile) {
        if (const std::string strNext = NextDayFile(m_follower.Path()); !strNext.empty()) {
            m_onNewFile(strNext);
        }
    }
}
