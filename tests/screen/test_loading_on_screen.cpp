// The loading window on a real display: an X server with a window manager, where a window is on
// the screen only once the server has mapped it (the offscreen platform maps everything at once
// and cannot tell). The program reads its start-up file slowly, as from a slow disk, and the
// screen is looked at while it reads.

#include "tests/TestSupport.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

using namespace testing_support;

namespace {
// A display of the test's own, with a window manager on it; gone with the object.
class CDisplay {
public:
    CDisplay() : m_strName(":" + std::to_string(40 + ::getpid() % 200)) {
        m_server.start(QStringLiteral("Xvfb"), {QString::fromStdString(m_strName), "-screen", "0",
                                                "1024x768x24", "-nolisten", "tcp"});
        m_server.waitForStarted(5000);
        const std::string strSocket = "/tmp/.X11-unix/X" + m_strName.substr(1);
        for (int i = 0; i < 100 && !std::filesystem::exists(strSocket); ++i) {
            QThread::msleep(50);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromStdString(m_strName));
        m_manager.setProcessEnvironment(env);
        m_manager.start(QStringLiteral("openbox"), {});
        QThread::msleep(500);
    }
    ~CDisplay() {
        for (QProcess* p : {&m_manager, &m_server}) {
            p->terminate();
            p->waitForFinished(3000);
        }
    }
    [[nodiscard]] bool Up() const { return m_server.state() == QProcess::Running; }
    [[nodiscard]] const std::string& Name() const { return m_strName; }

private:
    std::string m_strName;
    QProcess m_server;
    QProcess m_manager;
};

QImage Grab(const CDisplay& display, const std::string& strPng) {
    QProcess grab;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(display.Name()));
    env.remove("QT_QPA_PLATFORM");
    grab.setProcessEnvironment(env);
    grab.start(QStringLiteral(SCREEN_GRAB), {QString::fromStdString(strPng)});
    grab.waitForFinished(10000);
    return QImage(QString::fromStdString(strPng));
}

// The tallest stack of rows that each hold a light run at least nWidth pixels wide: a dialog's
// face. Menu, title and status bars are far thinner than the loading window.
int TallestLightBlock(const QImage& image, int nWidth) {
    int nBest = 0;
    int nRun = 0;
    for (int y = 0; y < image.height(); ++y) {
        int nLight = 0;
        int nLongest = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.pixel(x, y);
            nLight = qRed(rgb) > 200 && qGreen(rgb) > 200 && qBlue(rgb) > 200 ? nLight + 1 : 0;
            nLongest = std::max(nLongest, nLight);
        }
        nRun = nLongest >= nWidth ? nRun + 1 : 0;
        nBest = std::max(nBest, nRun);
    }
    return nBest;
}
} // namespace

TEST(LoadingOnScreen, ASlowStartUpReadShowsTheLoadingWindowThenTheDay) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("openbox").isEmpty()) {
        GTEST_SKIP() << "no Xvfb or openbox";
    }
    CDisplay display;
    ASSERT_TRUE(display.Up());
    CTempDir dir;
    std::string strDay;
    for (int i = 0; i < 40000; ++i) {
        char sz[32];
        std::snprintf(sz, sizeof sz, "%02d:%02d:%02d,%.2f\n", i / 3600 % 24, i / 60 % 60, i % 60,
                      (i % 97) / 10.0);
        strDay += sz;
    }
    WriteFile(dir.File("day.vks"), strDay); // about 10 reads of the reader's buffer

    QProcess viewer;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(display.Name()));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.File("config")));
    env.insert("LD_PRELOAD", QStringLiteral(SLOW_READ_SHIM));
    env.insert("QUILLON_SLOW_READ_MS", "600");
    // A sanitized build may have its runtime loaded after the shim.
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    viewer.setProcessEnvironment(env);
    viewer.start(QStringLiteral(QUILLON_PROGRAM), {QString::fromStdString(dir.File("day.vks"))});
    ASSERT_TRUE(viewer.waitForStarted());

    // Within the read (about 6 s): the loading window comes on the screen, painted. Looked for
    // a few times, as a slower machine maps the window later.
    int nTallest = 0;
    for (int i = 0; i < 8 && nTallest < 60; ++i) {
        QThread::msleep(500);
        const QImage during = Grab(display, dir.File("during.png"));
        nTallest = during.isNull() ? 0 : TallestLightBlock(during, 200);
    }
    EXPECT_GE(nTallest, 60) << "no loading window on the screen";

    // Once the day is read it is gone, and the day shows (the trace's cyan).
    int nCyan = 0;
    int nLight = 0;
    for (int i = 0; i < 40 && (nCyan <= 100 || nLight >= 60); ++i) {
        QThread::msleep(500);
        const QImage after = Grab(display, dir.File("after.png"));
        nCyan = 0;
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                nCyan += (after.pixel(x, y) & 0xFFFFFF) == 0x00FFFF;
            }
        }
        nLight = after.isNull() ? 0 : TallestLightBlock(after, 200);
    }
    EXPECT_LT(nLight, 60) << "the loading window stayed";
    EXPECT_GT(nCyan, 100) << "the day did not show";
    viewer.terminate();
    viewer.waitForFinished(5000);
}
