// The one main of every test program. Before anything else runs it keeps tests away from the
// user's settings and files (XDG_CONFIG_HOME, HOME, TZ and the working folder are private and
// temporary) and, built with QUILLON_TEST_QT, pins what would make GUI tests differ between
// machines (platform, style, font, locale).

#ifdef QUILLON_TEST_QT
#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStyleFactory>
#endif

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace testing_support;

int main(int argc, char** argv) {
    const std::string strRoot = MakeUniqueFolder("quillon-run");
    if (strRoot.empty()) {
        return 3;
    }
    const std::string strConfig = strRoot + "/config";
    const std::string strWork = strRoot + "/work";
    std::filesystem::create_directories(strConfig);
    std::filesystem::create_directories(strWork);
    const std::string strRuntime = strRoot + "/runtime";
    std::filesystem::create_directories(strRuntime);
    std::filesystem::permissions(strRuntime, std::filesystem::perms::owner_all);
    SetEnv("XDG_RUNTIME_DIR", strRuntime);
    SetEnv("XDG_CONFIG_HOME", strConfig);
    SetEnv("HOME", strRoot);
#ifdef _WIN32
    // The C runtime reads TZ in its own syntax, not tzdata's: without it, it takes the zone from
    // the system, which is the zone the Windows pass checks.
    SetEnv("TZ", "");
#else
    SetEnv("TZ", "UTC");
#endif
    SetEnv("LC_ALL", "C");
    std::error_code ec;
    std::filesystem::current_path(strWork, ec);
    if (ec) {
        return 3;
    }

    ::testing::InitGoogleTest(&argc, argv);
#ifdef QUILLON_TEST_QT
    SetEnv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9.0);
    QApplication::setFont(font);
#endif

    const int nResult = RUN_ALL_TESTS();
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    std::filesystem::remove_all(strRoot, ec);
    return nResult;
}
