// The one main of every test program. Before anything else runs it pins what would make GUI
// tests differ between machines (platform, style, font, locale) and keeps tests away from the
// user's settings and files: XDG_CONFIG_HOME, TZ and the working folder are private and temporary.

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
std::string MakePrivateRoot() {
    std::string strTemplate =
        (std::filesystem::temp_directory_path() / "quillon-run-XXXXXX").string();
    if (mkdtemp(strTemplate.data()) == nullptr) {
        std::abort();
    }
    return strTemplate;
}
} // namespace

int main(int argc, char** argv) {
    const std::string strRoot = MakePrivateRoot();
    const std::string strConfig = strRoot + "/config";
    const std::string strWork = strRoot + "/work";
    std::filesystem::create_directories(strConfig);
    std::filesystem::create_directories(strWork);
    const std::string strRuntime = strRoot + "/runtime";
    std::filesystem::create_directories(strRuntime);
    std::filesystem::permissions(strRuntime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", strRuntime.c_str(), 1);
    setenv("XDG_CONFIG_HOME", strConfig.c_str(), 1);
    setenv("HOME", strRoot.c_str(), 1);
    setenv("TZ", "UTC", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LC_ALL", "C", 1);
    if (chdir(strWork.c_str()) != 0) {
        return 3;
    }
    QLocale::setDefault(QLocale::c());

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9.0);
    QApplication::setFont(font);

    const int nResult = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(strRoot, ec);
    return nResult;
}
