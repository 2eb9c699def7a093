#pragma once
// CAlarmSound: the tone that says the alert rose. The program makes the tone itself (three short
// beeps, written as PCM in the output's own format) and plays it through Qt Multimedia on the
// default audio output; a machine without one gets the display's bell instead. Nothing of the
// audio system is touched before the first alert, so a start costs nothing for it.
//
// Tests replace what Play does (SetPlayHook) and count the plays.

#include <QBuffer>
#include <QObject>

#include <functional>
#include <memory>

class QAudioSink;

class CAlarmSound : public QObject {
public:
    explicit CAlarmSound(QObject* pParent = nullptr);
    ~CAlarmSound() override;

    void Play();

    // What Play does instead of sounding, while set; empty sounds again.
    static void SetPlayHook(std::function<void()> fnHook);

private:
    std::unique_ptr<QAudioSink> m_pSink;
    QBuffer m_buffer;
};
