// bench_first_frame: how long a program takes from launch to the first screen that shows its
// trace. It launches the program, takes screenshots of the X screen one after another, and stops
// at the first one with trace pixels (pure cyan, the colour of both the viewer's trace and the
// bare window's), then ends the program. Prints the milliseconds from launch to that screenshot.
//
//   bench_first_frame [--timeout MS] [--region X,Y,W,H] [--min-pixels N] -- PROGRAM [ARGS...]
//
// Screenshots of a region (default: 0,0 700x500, where both windows open) keep each grab to a
// couple of milliseconds, so the time is accurate to a few. Before the launch it waits for the
// region to be free of trace pixels, so a window of an earlier run cannot be counted.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {
using CClock = std::chrono::steady_clock;

constexpr QRgb TRACE_RGB = 0x00FFFF;
constexpr int DEFAULT_TIMEOUT_MS = 10000;
constexpr int DEFAULT_MIN_PIXELS = 100;
constexpr int CLEAR_WAIT_MS = 3000;
constexpr int END_WAIT_MS = 2000;

struct COptions {
    int nTimeoutMs = DEFAULT_TIMEOUT_MS;
    QRect rcRegion{0, 0, 700, 500};
    int nMinPixels = DEFAULT_MIN_PIXELS;
    std::vector<char*> program; // null-terminated argv
};

std::optional<COptions> ParseOptions(int argc, char** argv) {
    COptions options;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const bool bValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--timeout") == 0 && bValue) {
            options.nTimeoutMs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--min-pixels") == 0 && bValue) {
            options.nMinPixels = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--region") == 0 && bValue) {
            int x = 0;
            int y = 0;
            int w = 0;
            int h = 0;
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &x, &y, &w, &h) != 4 || w <= 0 || h <= 0) {
                return std::nullopt;
            }
            options.rcRegion = QRect(x, y, w, h);
        } else {
            return std::nullopt;
        }
    }
    for (++i; i < argc; ++i) {
        options.program.push_back(argv[i]);
    }
    if (options.program.empty()) {
        return std::nullopt;
    }
    options.program.push_back(nullptr);
    return options;
}

int TracePixels(QScreen& screen, const QRect& rc) {
    const QImage image = screen.grabWindow(0, rc.x(), rc.y(), rc.width(), rc.height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    int nTrace = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* pLine = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            nTrace += (pLine[x] & 0xFFFFFF) == TRACE_RGB ? 1 : 0;
        }
    }
    return nTrace;
}

// Ends the program and whatever it started (it leads a process group of its own).
void EndProgram(pid_t pid) {
    kill(-pid, SIGTERM);
    const auto deadline = CClock::now() + std::chrono::milliseconds(END_WAIT_MS);
    int nStatus = 0;
    while (waitpid(pid, &nStatus, WNOHANG) == 0) {
        if (CClock::now() > deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &nStatus, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
} // namespace

int main(int argc, char** argv) {
    const std::optional<COptions> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: %s [--timeout MS] [--region X,Y,W,H] [--min-pixels N] -- "
                     "PROGRAM [ARGS...]\n",
                     argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* pScreen = QGuiApplication::primaryScreen();
    if (pScreen == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "bench_first_frame needs an X display (DISPLAY)\n");
        return 2;
    }

    const auto clearBy = CClock::now() + std::chrono::milliseconds(CLEAR_WAIT_MS);
    while (TracePixels(*pScreen, options->rcRegion) >= options->nMinPixels) {
        if (CClock::now() > clearBy) {
            std::fprintf(stderr, "trace pixels on the screen before the launch\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    const auto start = CClock::now();
    pid_t pid = 0;
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    const int nSpawn =
        posix_spawnp(&pid, options->program[0], nullptr, &attr, options->program.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (nSpawn != 0) {
        std::fprintf(stderr, "cannot start %s\n", options->program[0]);
        return 2;
    }
    const auto deadline = start + std::chrono::milliseconds(options->nTimeoutMs);
    std::optional<CClock::time_point> seen;
    while (!seen && CClock::now() < deadline) {
        if (TracePixels(*pScreen, options->rcRegion) >= options->nMinPixels) {
            seen = CClock::now();
        } else if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "%s ended before its trace showed\n", options->program[0]);
            kill(-pid, SIGTERM);
            return 1;
        }
    }
    EndProgram(pid);
    if (!seen) {
        std::fprintf(stderr, "no trace within %d ms\n", options->nTimeoutMs);
        return 1;
    }
    std::printf("%.1f\n", std::chrono::duration<double, std::milli>(*seen - start).count());
    return 0;
}
