#include "settings/ViewerSettings.h"

#include "settings/RegistryKey.h"

BOOL CViewerSettings::LoadPlacement() {
    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    key.OpenKey(SETTINGS_KEY, TRUE);
    key.OpenKey(SETTINGS_KEY, FALSE);
    m_nWindowX = key.ReadInt(WINDOW_X_VALUE, DEFAULT_WINDOW_X);
    m_nWindowY = key.ReadInt(WINDOW_Y_VALUE, DEFAULT_WINDOW_Y);
    m_nWindowHeight = key.ReadInt(WINDOW_HEIGHT_VALUE, DEFAULT_WINDOW_HEIGHT);
    m_nWindowWidth = key.ReadInt(WINDOW_WIDTH_VALUE, DEFAULT_WINDOW_WIDTH);
    return TRUE;
}

BOOL CViewerSettings::SavePlacement() {
    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    // Opened with create: if the key vanished while the program ran, an open alone would leave
    // the helper on the root and the values would land at the top of the hive.
    if (!key.OpenKey(SETTINGS_KEY, TRUE)) {
        return TRUE;
    }
    key.WriteInt(WINDOW_X_VALUE, m_nWindowX);
    key.WriteInt(WINDOW_Y_VALUE, m_nWindowY);
    key.WriteInt(WINDOW_WIDTH_VALUE, m_nWindowWidth);
    key.WriteInt(WINDOW_HEIGHT_VALUE, m_nWindowHeight);
    return TRUE;
}
