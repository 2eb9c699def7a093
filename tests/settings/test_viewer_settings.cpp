// The window placement on the registry the build uses (a real hive file, or the system's
// registry), across simulated runs.

#include "settings/ViewOptions.h"
#include "settings/ViewerSettings.h"
#include "tests/platform/test_registry_support.h"

#include <filesystem>

using namespace testing_support;
using namespace std::string_literals;

namespace {

class ViewerSettingsTest : public CRegistryTest {
protected:
    // A new run: nothing remembered in the process, a fresh settings object.
    static CViewerSettings& NextRun(CViewerSettings& settings) {
        StartNextRun();
        settings.LoadPlacement();
        return settings;
    }

    static void Place(CViewerSettings& settings, int nX, int nY, int nWidth, int nHeight) {
        settings.m_nWindowX = nX;
        settings.m_nWindowY = nY;
        settings.m_nWindowWidth = nWidth;
        settings.m_nWindowHeight = nHeight;
    }

    static void PutValue(const char* pszName, DWORD dwType, const std::string& strData) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_SET_VALUE, &hKey),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(hKey, pszName, 0, dwType,
                                 reinterpret_cast<const BYTE*>(strData.data()),
                                 static_cast<DWORD>(strData.size())),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
    }

    // The four placement values as stored: type and bytes of each.
    static std::string ReadStoredValues() {
        std::string str;
        HKEY hKey = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &hKey),
                  ERROR_SUCCESS);
        for (const char* pszName :
             {WINDOW_X_VALUE, WINDOW_Y_VALUE, WINDOW_WIDTH_VALUE, WINDOW_HEIGHT_VALUE}) {
            BYTE buffer[16] = {};
            DWORD cb = sizeof buffer;
            DWORD dwType = 0;
            EXPECT_EQ(RegQueryValueExA(hKey, pszName, nullptr, &dwType, buffer, &cb),
                      ERROR_SUCCESS);
            str += std::to_string(dwType) + ":" + std::string(reinterpret_cast<char*>(buffer), cb) +
                   ";";
        }
        RegCloseKey(hKey);
        return str;
    }
};

} // namespace

TEST_F(ViewerSettingsTest, FirstStartCreatesTheKeyAndGivesTheDefaults) {
    CViewerSettings settings;
    EXPECT_EQ(settings.m_nWindowX + settings.m_nWindowY + settings.m_nWindowWidth +
                  settings.m_nWindowHeight,
              0);
    EXPECT_TRUE(settings.LoadPlacement());
    EXPECT_EQ(settings.m_nWindowX, 10);
    EXPECT_EQ(settings.m_nWindowY, 10);
    EXPECT_EQ(settings.m_nWindowWidth, 600);
    EXPECT_EQ(settings.m_nWindowHeight, 400);
    HKEY hKey = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &hKey), ERROR_SUCCESS);
    RegCloseKey(hKey);
#ifndef _WIN32
    EXPECT_EQ(HiveText(), "Quillon Registry Hive Version 1\n\n"
                          "[HKEY_CURRENT_USER\\Software\\Korvan Corp\\Quillon]\n");
#endif
}

TEST_F(ViewerSettingsTest, SaveWritesExactlyTheFourBinaryValuesAndTheyComeBack) {
    CViewerSettings settings;
    settings.LoadPlacement();
    Place(settings, -1200, 35, 1024, 700);
    EXPECT_TRUE(settings.SavePlacement().Ok());
    EXPECT_EQ(StoredValue(SETTINGS_KEY, WINDOW_X_VALUE).value_or(CStoredValue{}).strData,
              "\x50\xfb\xff\xff");
#ifndef _WIN32
    // The file as the settings documentation shows it.
    EXPECT_EQ(HiveText(), "Quillon Registry Hive Version 1\n\n"
                          "[HKEY_CURRENT_USER\\Software\\Korvan Corp\\Quillon]\n"
                          "\"Window X\"=hex:50,fb,ff,ff\n"
                          "\"Window Y\"=hex:23,00,00,00\n"
                          "\"Window Width\"=hex:00,04,00,00\n"
                          "\"Window Height\"=hex:bc,02,00,00\n");
#endif
    CViewerSettings next;
    NextRun(next);
    EXPECT_EQ(next.m_nWindowX, -1200);
    EXPECT_EQ(next.m_nWindowY, 35);
    EXPECT_EQ(next.m_nWindowWidth, 1024);
    EXPECT_EQ(next.m_nWindowHeight, 700);
}

TEST_F(ViewerSettingsTest, TheMaximisedStateIsKeptBesideTheFourValuesWhenItChanges) {
    CViewerSettings settings;
    NextRun(settings);
    EXPECT_FALSE(settings.m_bMaximized);
    Place(settings, 40, 50, 433, 382);
    settings.m_bMaximized = true;
    ASSERT_TRUE(settings.SavePlacement().Ok());
    EXPECT_TRUE(StoredValue(SETTINGS_KEY, MAXIMIZED_VALUE).has_value());
    CViewerSettings next;
    NextRun(next);
    EXPECT_TRUE(next.m_bMaximized);
    EXPECT_EQ(next.m_nWindowWidth, 433) << "the size to restore to stays as it was saved";
    next.m_bMaximized = false;
    ASSERT_TRUE(next.SavePlacement().Ok());
    EXPECT_FALSE(NextRun(next).m_bMaximized);
}

TEST_F(ViewerSettingsTest, ValuesSetByHandAndDeletedValues) {
    CViewerSettings settings;
    settings.LoadPlacement();
    Place(settings, 1, 2, 3, 4);
    (void)settings.SavePlacement();
    PutValue(WINDOW_WIDTH_VALUE, REG_DWORD, "\x20\x03\0\0"s);         // 800
    PutValue(WINDOW_HEIGHT_VALUE, REG_BINARY, "\x01\0\0\0\0\0\0\0"s); // 8 bytes
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_SET_VALUE, &hKey),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(hKey, WINDOW_Y_VALUE), ERROR_SUCCESS);
    RegCloseKey(hKey);

    CViewerSettings next;
    NextRun(next);
    EXPECT_EQ(next.m_nWindowX, 1);
    EXPECT_EQ(next.m_nWindowY, DEFAULT_WINDOW_Y);
    EXPECT_EQ(next.m_nWindowWidth, 800);
    EXPECT_EQ(next.m_nWindowHeight, DEFAULT_WINDOW_HEIGHT);
}

TEST_F(ViewerSettingsTest, SaveAfterTheKeyVanishedWritesIntoTheKeyNotTheRoot) {
    CViewerSettings settings;
    settings.LoadPlacement();
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY), ERROR_SUCCESS);
    Place(settings, 20, 30, 640, 480);
    (void)settings.SavePlacement();
    EXPECT_TRUE(StoredValue(SETTINGS_KEY, WINDOW_X_VALUE).has_value());
    EXPECT_FALSE(StoredValue("", WINDOW_X_VALUE).has_value()) << "nothing at the root";
    CViewerSettings next;
    EXPECT_EQ(NextRun(next).m_nWindowWidth, 640);
}

#ifndef _WIN32
TEST_F(ViewerSettingsTest, AFailedSaveStoresNothingAndSaysWhereAndWhy) {
    // The hive is a link to a folder that is gone: the save cannot happen, whoever runs it.
    const std::string strHive = RegistryHivePath(HKEY_CURRENT_USER);
    std::filesystem::create_directories(std::filesystem::path(strHive).parent_path());
    std::filesystem::create_symlink(m_dir.File("gone/hive.reg"), strHive);
    CViewerSettings settings;
    NextRun(settings);
    Place(settings, 1, 2, 3, 4);
    const COutcome saved = settings.SavePlacement();
    EXPECT_EQ(saved.Error(), "cannot save the window placement to " + strHive +
                                 ": The system cannot find the path specified.");
    std::filesystem::remove(strHive);
    NextRun(settings);
    EXPECT_EQ(settings.m_nWindowWidth, DEFAULT_WINDOW_WIDTH);
}

TEST_F(ViewerSettingsTest, ViewOptionsRoundTripBesideAnUntouchedPlacement) {
    CViewerSettings settings;
    NextRun(settings);
    Place(settings, 11, 22, 333, 444);
    ASSERT_TRUE(settings.SavePlacement().Ok());
    const std::string strPlacement = ReadStoredValues();

    CViewOptions options;
    options.Load();
    EXPECT_EQ(options.m_dWarningLevel, 0.0) << "no levels by default";
    EXPECT_TRUE(options.m_bStatusBar);
    options.m_dWarningLevel = 1.25;
    options.m_dAlertLevel = 2.0;
    options.m_dFixedScale = 12.0;
    options.m_nAlarmHoldSeconds = 30;
    options.m_bStatusBar = false;
    options.m_bPrintLandscape = true;
    ASSERT_TRUE(options.Save().Ok());
    ForgetRegistryHives();
    CViewOptions again;
    again.Load();
    EXPECT_EQ(again.m_dWarningLevel, 1.25);
    EXPECT_EQ(again.m_dAlertLevel, 2.0);
    EXPECT_EQ(again.m_dFixedScale, 12.0);
    EXPECT_EQ(again.m_nAlarmHoldSeconds, 30);
    EXPECT_FALSE(again.m_bStatusBar);
    EXPECT_TRUE(again.m_bPrintLandscape);
    EXPECT_EQ(ReadStoredValues(), strPlacement) << "the placement's values are as they were";

    // Text a person typed into the hive: sound numbers only.
    PutValue(WARNING_LEVEL_VALUE, REG_SZ, "-3"s + '\0');
    PutValue(ALERT_LEVEL_VALUE, REG_SZ, "1,5"s + '\0');
    again.Load();
    EXPECT_EQ(again.m_dWarningLevel, 0.0);
    EXPECT_EQ(again.m_dAlertLevel, 0.0);
    double d = -1;
    for (const char* psz : {"nan", "1e3", " 1", "1001", "0x10", "-0"}) {
        EXPECT_FALSE(ParseLevel(psz, &d) && d != 0.0) << psz;
    }
    EXPECT_TRUE(ParseLevel("0.75", &d));
    EXPECT_EQ(d, 0.75);
}
#endif

TEST_F(ViewerSettingsTest, TwoViewersSaveOnlyTheOptionsEachChanged) {
    CViewerSettings settings;
    NextRun(settings);
    CViewOptions first;
    CViewOptions second;
    first.Load();
    second.Load();
    first.m_dWarningLevel = 1.5;
    first.m_dAlertLevel = 3.0;
    ASSERT_TRUE(first.Save().Ok());
    second.m_bStatusBar = false;
    ASSERT_TRUE(second.Save().Ok());
    // Set back after a save, a value is a change again.
    first.m_dAlertLevel = 0.0;
    first.m_bFollowNewest = true;
    ASSERT_TRUE(first.Save().Ok());

    StartNextRun();
    CViewOptions kept;
    kept.Load();
    EXPECT_EQ(kept.m_dWarningLevel, 1.5);
    EXPECT_EQ(kept.m_dAlertLevel, 0.0);
    EXPECT_FALSE(kept.m_bStatusBar) << "the other viewer's change was lost";
    EXPECT_TRUE(kept.m_bFollowNewest);
}
