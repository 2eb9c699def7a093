#pragma once
// CDayWatch: notices when the day's file in view changes and has CDayFollower read what is new.
// The file system's notifications bring a change within moments; a poll every second catches what
// they miss (network shares, editors that replace files). With "follow newest file" on, the same
// poll looks for the next day's file in the folder and names it to the window.
//
// Lives on the UI thread with the window; the window passes the day's array and receives each
// step through the callbacks.

#include "data/DayFollower.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <span>
#include <string>

class CDayWatch : public QObject {
public:
    using StepFn = std::function<void(const CFollowStep&)>;
    using NewFileFn = std::function<void(const std::string&)>;

    CDayWatch(std::span<FieldSample> samples, StepFn onStep, NewFileFn onNewFile,
              QObject* pParent = nullptr);

    // Follows strPath from the read that loaded it.
    void Start(const std::string& strPath, const CFieldRead& loaded);
    void Stop();
    [[nodiscard]] bool Active() const { return m_bActive; }
    // Whether to look for the next day's file in the folder.
    void SetFollowNewest(bool bFollow) { m_bFollowNewest = bFollow; }

    // Looks at the file now (the timer and the notifications call it).
    void Poll();

private:
    void Watch();

    std::span<FieldSample> m_samples;
    StepFn m_onStep;
    NewFileFn m_onNewFile;
    CDayFollower m_follower;
    QFileSystemWatcher m_watcher;
    QTimer m_timer;
    bool m_bActive = false;
    bool m_bFollowNewest = false;
};
