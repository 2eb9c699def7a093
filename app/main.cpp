// Quillon's entry point: the command-line modes that need no window, then the viewer.

#include "app/CommandLine.h"
#include "app/ExportCommand.h"
#include "app/Globals.h"
#include "app/InfoCommand.h"
#include "app/SummaryCommand.h"
#include "app/ViewerApp.h"
#include "doc/EarlyDay.h"
#include "platform/Registry.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {
// Whether a window can be shown. Qt aborts the process when its platform finds no display, so
// the program asks first; a platform chosen through QT_QPA_PLATFORM is taken at its word.
bool HasDisplay() {
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    auto isSet = [](const char* pszName) {
        const char* psz = std::getenv(pszName);
        return psz != nullptr && *psz != '\0';
    };
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
#endif
}

void SetApplicationNames() {
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Korvan Corp"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillon"));
}
} // namespace

int main(int argc, char** argv) {
    // The registry's reports (a damaged settings file set aside) reach the user as report lines.
    SetRegistryReportSink(ReportLine);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CCommandLine cmd = ParseCommandLine(args);
    switch (cmd.eMode) {
    case ECommandMode::Error:
        std::cerr << "quillon: " << cmd.strError << " (see quillon --help)\n";
        return 2;
    case ECommandMode::Help:
        std::cout << UsageText("quillon");
        return 0;
    case ECommandMode::Version:
        std::cout << "Quillon " << QUILLON_VERSION << "\n";
        return 0;
    case ECommandMode::Info:
        return RunInfoCommand(cmd.strFile, std::cout, std::cerr);
    case ECommandMode::Summary:
        // No application object: the names alone place the cache folder.
        SetApplicationNames();
        return RunSummaryCommand(cmd, SummaryCacheFolder(), std::cout, std::cerr);
    case ECommandMode::Export: {
        // No window is shown: without a display, draw offscreen.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        QApplication app(argc, argv);
        SetApplicationNames();
        return RunExportCommand(cmd, std::cerr);
    }
    case ECommandMode::View:
    case ECommandMode::Archive:
        break;
    }
    if (!HasDisplay()) {
        std::cerr << "quillon: no display; use --export to draw without one\n";
        return 1;
    }

    // The file named is read, and copied for the chart, while the toolkit starts: the window's
    // first paint then finds the day ready.
    std::optional<CEarlyDay> earlyDay;
    if (!cmd.strFile.empty() && cmd.eMode == ECommandMode::View) {
        earlyDay.emplace(cmd.strFile, g_Samples);
    }
    QApplication app(argc, argv);
    SetApplicationNames();
    if (cmd.eMode == ECommandMode::Archive) {
        theApp.StartWithArchive(cmd.strFile);
    } else if (!cmd.strFile.empty()) {
        g_strDataFile = cmd.strFile;
        g_CmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
    }
    theApp.InitInstance(earlyDay ? &*earlyDay : nullptr);
    return theApp.GetExitCode();
}
