#include "ui/AlarmSound.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <cmath>
#include <cstring>

namespace {
constexpr double TONE_HZ = 880.0;
constexpr double BEEP_SECONDS = 0.18;
constexpr double GAP_SECONDS = 0.08;
constexpr int BEEPS = 3;
constexpr double FADE_SECONDS = 0.01; // no click at either end of a beep
constexpr double LOUDNESS = 0.5;
constexpr double PI = 3.14159265358979323846;

std::function<void()>& PlayHook() {
    static std::function<void()> s_fnHook;
    return s_fnHook;
}

// The beeps as PCM in format: each sample on every channel, in the format's sample type.
QByteArray MakeTone(const QAudioFormat& format) {
    const int nRate = format.sampleRate();
    const int nChannels = format.channelCount();
    const double dPeriod = BEEP_SECONDS + GAP_SECONDS;
    const int nFrames = static_cast<int>(nRate * dPeriod * BEEPS);
    QByteArray pcm;
    pcm.reserve(nFrames * format.bytesPerFrame());
    for (int i = 0; i < nFrames; ++i) {
        const double t = static_cast<double>(i) / nRate;
        const double dIn = std::fmod(t, dPeriod);
        double dLevel = 0.0;
        if (dIn < BEEP_SECONDS) {
            const double dFade =
                std::min({1.0, dIn / FADE_SECONDS, (BEEP_SECONDS - dIn) / FADE_SECONDS});
            dLevel = LOUDNESS * dFade * std::sin(2 * PI * TONE_HZ * t);
        }
        for (int c = 0; c < nChannels; ++c) {
            switch (format.sampleFormat()) {
            case QAudioFormat::UInt8: {
                const auto n = static_cast<quint8>(std::lround(127.5 + 127.0 * dLevel));
                pcm.append(reinterpret_cast<const char*>(&n), sizeof n);
                break;
            }
            case QAudioFormat::Int16: {
                const auto n = static_cast<qint16>(std::lround(32767.0 * dLevel));
                pcm.append(reinterpret_cast<const char*>(&n), sizeof n);
                break;
            }
            case QAudioFormat::Int32: {
                const auto n = static_cast<qint32>(std::lround(2147483647.0 * dLevel));
                pcm.append(reinterpret_cast<const char*>(&n), sizeof n);
                break;
            }
            case QAudioFormat::Float: {
                const auto f = static_cast<float>(dLevel);
                pcm.append(reinterpret_cast<const char*>(&f), sizeof f);
                break;
            }
            default:
                return {};
            }
        }
    }
    return pcm;
}
} // namespace

CAlarmSound::CAlarmSound(QObject* pParent) : QObject(pParent) {}

CAlarmSound::~CAlarmSound() {
    if (m_pSink) {
        m_pSink->stop();
    }
}

void CAlarmSound::SetPlayHook(std::function<void()> fnHook) {
    PlayHook() = std::move(fnHook);
}

void CAlarmSound::Play() {
    if (PlayHook()) {
        PlayHook()();
        return;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    const QAudioFormat format = device.isNull() ? QAudioFormat() : device.preferredFormat();
    const QByteArray pcm = format.isValid() ? MakeTone(format) : QByteArray();
    if (pcm.isEmpty()) {
        QApplication::beep();
        return;
    }
    if (m_pSink) {
        m_pSink->stop();
    }
    m_buffer.close();
    m_buffer.setData(pcm);
    m_buffer.open(QIODevice::ReadOnly);
    m_pSink = std::make_unique<QAudioSink>(device, format);
    QObject::connect(m_pSink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State eState) {
        if (eState == QAudio::IdleState) {
            m_pSink->stop(); // the tone has played
        } else if (eState == QAudio::StoppedState && m_pSink->error() != QAudio::NoError &&
                   m_pSink->error() != QAudio::UnderrunError) {
            QApplication::beep(); // the output failed: the bell says it instead
        }
    });
    m_pSink->start(&m_buffer);
}
