#pragma once
// CViewerSettings: the main window's saved placement.
//
// The main window calls LoadPlacement while it is set up and places itself from the four fields;
// on closing it fills the fields from its current place and size and calls SavePlacement. Both go
// through CRegistryKey to "Software\Korvan Corp\Quillon" under HKEY_CURRENT_USER, where each
// field is a 4-byte REG_BINARY value. The numbers are stored as given and never checked.

#include "platform/Outcome.h"
#include "platform/WinTypes.h"

inline constexpr const char* SETTINGS_KEY = "Software\\Korvan Corp\\Quillon";
inline constexpr const char* WINDOW_X_VALUE = "Window X";
inline constexpr const char* WINDOW_Y_VALUE = "Window Y";
inline constexpr const char* WINDOW_HEIGHT_VALUE = "Window Height";
inline constexpr const char* WINDOW_WIDTH_VALUE = "Window Width";
// Beside the four, in the same key: 1 when the window was closed maximised. The four then hold
// the size and place it has when it is restored.
inline constexpr const char* MAXIMIZED_VALUE = "Maximized";
constexpr int DEFAULT_WINDOW_X = 10;
constexpr int DEFAULT_WINDOW_Y = 10;
constexpr int DEFAULT_WINDOW_HEIGHT = 400;
constexpr int DEFAULT_WINDOW_WIDTH = 600;

class CViewerSettings {
public:
    CViewerSettings() = default;
    virtual ~CViewerSettings() = default;
    CViewerSettings(const CViewerSettings&) = delete;
    CViewerSettings& operator=(const CViewerSettings&) = delete;

    // Creates the settings key when it is missing, then fills the fields from it, each field
    // falling back to its default. Always TRUE.
    BOOL LoadPlacement();
    // Writes the four fields to the settings key as one save, creating the key if it has gone,
    // and in the same save the maximised state when it differs from the one loaded or last saved.
    // On failure nothing was stored, and the message names the hive and the reason.
    COutcome SavePlacement();

    int m_nWindowX = 0;
    int m_nWindowY = 0;
    int m_nWindowHeight = 0;
    int m_nWindowWidth = 0;
    bool m_bMaximized = false;

private:
    bool m_bStoredMaximized = false; // as loaded or last saved
};
