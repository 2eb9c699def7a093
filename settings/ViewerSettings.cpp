#include "settings/ViewerSettings.h"

#include "settings/RegistryKey.h"

#include <vector>

BOOL CViewerSettings::LoadPlacement() {
    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    key.OpenKey(SETTINGS_KEY, TRUE);
    key.OpenKey(SETTINGS_KEY, FALSE);
    m_nWindowX = key.ReadInt(WINDOW_X_VALUE, DEFAULT_WINDOW_X);
    m_nWindowY = key.ReadInt(WINDOW_Y_VALUE, DEFAULT_WINDOW_Y);
    m_nWindowHeight = key.ReadInt(WINDOW_HEIGHT_VALUE, DEFAULT_WINDOW_HEIGHT);
    m_nWindowWidth = key.ReadInt(WINDOW_WIDTH_VALUE, DEFAULT_WINDOW_WIDTH);
    m_bMaximized = m_bStoredMaximized = key.ReadInt(MAXIMIZED_VALUE, 0) != 0;
    return TRUE;
}

namespace {
// Why the settings key cannot be created: the helper's create keeps no status of its own.
LONG CreateStatus() {
    HKEY hKey = nullptr;
    const LONG lStatus =
        RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
    if (lStatus != ERROR_SUCCESS) {
        return lStatus;
    }
    RegCloseKey(hKey);
    return ERROR_WRITE_FAULT; // it failed a moment ago
}
} // namespace

COutcome CViewerSettings::SavePlacement() {
    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    // Opened with create: if the key vanished while the program ran, an open alone would leave
    // the helper on the root and the values would land at the top of the hive.
    LONG lStatus = key.OpenKey(SETTINGS_KEY, TRUE) ? ERROR_SUCCESS : CreateStatus();
    if (lStatus == ERROR_SUCCESS) {
        std::vector<CRegistryKey::CValue> values = {
            CRegistryKey::IntValue(WINDOW_X_VALUE, m_nWindowX),
            CRegistryKey::IntValue(WINDOW_Y_VALUE, m_nWindowY),
            CRegistryKey::IntValue(WINDOW_WIDTH_VALUE, m_nWindowWidth),
            CRegistryKey::IntValue(WINDOW_HEIGHT_VALUE, m_nWindowHeight),
        };
        // Only when it changed, so a window that is never maximised leaves the key as it was.
        if (m_bMaximized != m_bStoredMaximized) {
            values.push_back(CRegistryKey::IntValue(MAXIMIZED_VALUE, m_bMaximized ? 1 : 0));
        }
        lStatus = key.WriteValues(values);
    }
    if (lStatus == ERROR_SUCCESS) {
        m_bStoredMaximized = m_bMaximized;
        return {};
    }
    return COutcome::Fail("cannot save the window placement to " +
                          DescribeRegistryLocation(HKEY_CURRENT_USER) + ": " +
                          DescribeRegistryStatus(lStatus));
}
