#include "ui/ChooseDataFile.h"

#include "platform/FileDialog.h"
#include "platform/Registry.h"
#include "settings/RegistryKey.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {
constexpr int KEY_PATH_CHARS = 256;
} // namespace

std::string LoggingDataFolder() {
    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    char szKeyPath[KEY_PATH_CHARS];
    std::snprintf(szKeyPath, sizeof(szKeyPath), LOGGING_KEY_FORMAT, LOGGING_KEY_BASE);
    return key.OpenKey(szKeyPath, FALSE) ? key.ReadString(LOGGING_PATH_VALUE, "") : std::string();
}

std::optional<std::string> ChooseDataFile(const std::string& strDayInView) {
    // The array's own terminator is the NUL that ends the list.
    CFileDialog dlg(TRUE, "vks", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    OPEN_DIALOG_FILTER, nullptr);
    dlg.m_ofn.lpstrTitle = OPEN_DIALOG_TITLE;

    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    char szKeyPath[KEY_PATH_CHARS];
    std::snprintf(szKeyPath, sizeof(szKeyPath), LOGGING_KEY_FORMAT, LOGGING_KEY_BASE);
    // The folder text must stay valid until the dialog has closed.
    std::string strFolder;
    std::error_code ecDay;
    const std::filesystem::path dayFolder = std::filesystem::path(strDayInView).parent_path();
    if (!strDayInView.empty() &&
        std::filesystem::is_directory(dayFolder.empty() ? std::filesystem::path(".") : dayFolder,
                                      ecDay)) {
        strFolder =
            dayFolder.empty() ? std::filesystem::current_path(ecDay).string() : dayFolder.string();
    } else if (key.OpenKey(szKeyPath, FALSE)) {
        strFolder = key.ReadString(LOGGING_PATH_VALUE, "");
    } else {
        std::error_code ec;
        const std::filesystem::path current = std::filesystem::current_path(ec);
        strFolder = ec ? std::string() : current.string();
    }
    dlg.m_ofn.lpstrInitialDir = strFolder.c_str();

    if (dlg.DoModal() != IDOK) {
        return std::nullopt;
    }
    return dlg.GetPathName();
}
