// The registry calls' Windows semantics, on the back end the build uses: the hive file here, the
// system's registry on Windows (Wine's, in CI). Both must answer these alike; the hive's answers
// of its own, for what its file cannot hold, are in test_registry_hive.cpp.

#include "tests/platform/test_registry_support.h"

#include <cstring>
#include <filesystem>

using namespace testing_support;

// ---- Calls ------------------------------------------------------------------------------------

using RegistryCalls = CRegistryTest;

TEST_F(RegistryCalls, KeysAndValuesIgnoreCaseAndKeepTheirOwn) {
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Korvan Corp\\Quillon", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &hKey, &dwDisposition),
              ERROR_SUCCESS);
    EXPECT_EQ(dwDisposition, REG_CREATED_NEW_KEY);
    const DWORD dw = 7;
    EXPECT_EQ(RegSetValueExA(hKey, "Window X", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), 4),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(hKey, "WINDOW x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), 4),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(hKey), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(hKey), ERROR_INVALID_HANDLE);

    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\korvan corp\\QUILLON\\", 0, nullptr, 0,
                              KEY_READ, nullptr, &hKey, &dwDisposition),
              ERROR_SUCCESS);
    EXPECT_EQ(dwDisposition, REG_OPENED_EXISTING_KEY);
    DWORD dwType = 0;
    EXPECT_EQ(RegQueryValueExA(hKey, "window X", nullptr, &dwType, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(dwType, REG_DWORD);
    RegCloseKey(hKey);
    // The create made the missing keys on the way.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Korvan Corp", 0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
#ifndef _WIN32
    EXPECT_NE(HiveText().find("[HKEY_CURRENT_USER\\Software\\Korvan Corp\\Quillon]\n"
                              "\"Window X\"=dword:00000007\n"),
              std::string::npos)
        << HiveText();
#endif
}

TEST_F(RegistryCalls, StatusCodesOfMissingThingsAndBadArguments) {
    HKEY hKey = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Missing", 0, KEY_READ, &hKey),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(hKey, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "\\Lead", 0, KEY_READ, &hKey), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(0x1234), "", 0, KEY_READ, &hKey),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "Missing", nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(HKEY_CURRENT_USER, "Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Missing"), ERROR_FILE_NOT_FOUND);
#ifndef _WIN32
    EXPECT_FALSE(std::filesystem::exists(HivePath())) << "nothing was written";
#endif
}

TEST_F(RegistryCalls, QueryBufferSizesAndTerminators) {
    using namespace std::string_literals;
    const struct {
        const char* pszName;
        DWORD dwType;
        std::string strData;
        DWORD cbData; // the bytes stored: the rest only follows them in memory
    } values[] = {
        // Text without its NUL. Windows would store the byte after the data as well if it were a
        // NUL, so the one after is not.
        {"Bare", REG_SZ, "abcdX", 4},
        {"Short", REG_BINARY, "\x34\x12"s, 2},
        {"Wide", REG_BINARY, "12345678", 8},
    };
    for (const auto& v : values) {
        ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, v.pszName, 0, v.dwType,
                                 reinterpret_cast<const BYTE*>(v.strData.data()), v.cbData),
                  ERROR_SUCCESS);
        DWORD cbSize = 0;
        EXPECT_EQ(
            RegQueryValueExA(HKEY_CURRENT_USER, v.pszName, nullptr, nullptr, nullptr, &cbSize),
            ERROR_SUCCESS);
        EXPECT_EQ(cbSize, v.cbData) << v.pszName;
    }
    const struct {
        const char* pszName;
        DWORD cbOffered;
        LONG lStatus;
        const char* pszAfter; // the 8 buffer bytes afterwards
    } cases[] = {
        {"bare", 3, ERROR_MORE_DATA, "########"},      // untouched
        {"bare", 4, ERROR_SUCCESS, "abcd####"},        // no room for a terminator
        {"bare", 5, ERROR_SUCCESS, "abcd\0###"},       // one added
        {"short", 4, ERROR_SUCCESS, "\x34\x12######"}, // only the low bytes
        {"wide", 4, ERROR_MORE_DATA, "########"},      // untouched
    };
    for (const auto& c : cases) {
        BYTE buffer[8];
        std::memset(buffer, '#', sizeof buffer);
        DWORD cbData = c.cbOffered;
        DWORD dwType = 0;
        EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, c.pszName, nullptr, &dwType, buffer, &cbData),
                  c.lStatus)
            << c.pszName << " in " << c.cbOffered;
        DWORD cbStored = 0;
        DWORD dwStoredType = 0;
        EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, c.pszName, nullptr, &dwStoredType, nullptr,
                                   &cbStored),
                  ERROR_SUCCESS);
        EXPECT_EQ(cbData, cbStored) << c.pszName << ": the stored size is reported";
        EXPECT_EQ(dwType, dwStoredType) << c.pszName;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 8), std::string(c.pszAfter, 8))
            << c.pszName << " in " << c.cbOffered;
    }
}

TEST_F(RegistryCalls, HandlesHoldOnlyTheRightsAskedFor) {
    HKEY hRead = nullptr;
    HKEY hWrite = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, "K", 0, nullptr, 0, KEY_READ, nullptr, &hRead, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_SET_VALUE, &hWrite), ERROR_SUCCESS);
    const BYTE b = 1;
    EXPECT_EQ(RegSetValueExA(hRead, "V", 0, REG_BINARY, &b, 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExA(hWrite, "V", 0, REG_BINARY, &b, 1), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(hWrite, "V", nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegQueryValueExA(hRead, "V", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    HKEY hSub = nullptr;
    // Windows asks the parent's handle for KEY_CREATE_SUB_KEY; Wine does not.
    if (!RunningUnderWine()) {
        EXPECT_EQ(RegCreateKeyExA(hRead, "Sub", 0, nullptr, 0, KEY_READ, nullptr, &hSub, nullptr),
                  ERROR_ACCESS_DENIED);
    }

    // A deleted key: its handles fail, and only a key without sub-keys can be deleted.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "K\\Sub", 0, nullptr, 0, KEY_READ, nullptr, &hSub,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "K"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(hRead, "sub"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(hSub, "V", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
    for (HKEY h : {hRead, hWrite, hSub}) {
        EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    }
}
