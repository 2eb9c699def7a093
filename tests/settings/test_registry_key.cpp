// CRegistryKey on the registry the build uses (a real hive file, or the system's registry):
// roots, opening and creating, reads with defaults, writes, and which calls record their status.

#include "settings/RegistryKey.h"
#include "tests/platform/test_registry_support.h"

#include <algorithm>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace testing_support;
using namespace std::string_literals;

namespace {

constexpr const char* KEY_PATH = "Software\\Korvan Corp\\Test";

class RegistryKeyTest : public CRegistryTest {
protected:
    // Stores a value of any type with the raw API, creating the key: the first cbData bytes of
    // strData, or all of them.
    static void Put(const std::string& strName, DWORD dwType, const std::string& strData,
                    std::size_t cbData = std::string::npos) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, KEY_PATH, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(hKey, strName.c_str(), 0, dwType,
                                 reinterpret_cast<const BYTE*>(strData.data()),
                                 static_cast<DWORD>(std::min(cbData, strData.size()))),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
    }

    CRegistryKey m_key;
};

} // namespace

TEST_F(RegistryKeyTest, StartsOnTheUserRootAndAcceptsOnlyTheFourRoots) {
    EXPECT_EQ(m_key.m_lLastError, ERROR_SUCCESS);
    EXPECT_EQ(m_key.m_hRootKey, HKEY_CURRENT_USER);
    EXPECT_EQ(m_key.m_bLazyWrite, TRUE);
    EXPECT_TRUE(m_key.m_strSubKey.empty());
    for (HKEY hRoot : {HKEY_CURRENT_CONFIG, HKEY_PERFORMANCE_DATA, reinterpret_cast<HKEY>(0x42)}) {
        EXPECT_FALSE(m_key.SetRootKey(hRoot));
        EXPECT_EQ(m_key.m_hRootKey, HKEY_CURRENT_USER);
    }
    for (HKEY hRoot : {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_USER}) {
        EXPECT_TRUE(m_key.SetRootKey(hRoot));
        EXPECT_EQ(m_key.m_hRootKey, hRoot);
    }
}

TEST_F(RegistryKeyTest, OpenKeyInBothModes) {
    // An empty path makes no registry call: even an unusable root does not fail it.
    m_key.m_strSubKey = "Before";
    m_key.m_hRootKey = reinterpret_cast<HKEY>(0x42);
    m_key.m_lLastError = 1234;
    EXPECT_TRUE(m_key.OpenKey("", FALSE));
    EXPECT_TRUE(m_key.m_strSubKey.empty());
    EXPECT_EQ(m_key.m_lLastError, 1234);
    m_key.Reset();
    EXPECT_EQ(m_key.m_lLastError, 1234) << "Reset leaves the status";

    EXPECT_FALSE(m_key.OpenKey(KEY_PATH, FALSE));
    EXPECT_EQ(m_key.m_lLastError, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(m_key.m_strSubKey.empty());

    m_key.m_bLazyWrite = FALSE; // the flushing path behaves the same
    EXPECT_TRUE(m_key.OpenKey(KEY_PATH, TRUE));
    EXPECT_EQ(m_key.m_lLastError, ERROR_FILE_NOT_FOUND) << "create mode leaves the status";
    EXPECT_EQ(m_key.m_strSubKey, KEY_PATH);
    EXPECT_TRUE(m_key.OpenKey(KEY_PATH, FALSE));
    EXPECT_EQ(m_key.m_lLastError, ERROR_SUCCESS);
}

#ifndef _WIN32
TEST_F(RegistryKeyTest, OpenKeyFailsOnAKeyThatOnlyOpensForReading) {
    ASSERT_TRUE(m_key.OpenKey(KEY_PATH, TRUE));
    // A key that only opens for reading counts as a failure, and the path stays.
    ASSERT_EQ(chmod(HivePath().c_str(), 0400), 0);
    EXPECT_FALSE(m_key.OpenKey("Software", FALSE));
    EXPECT_EQ(m_key.m_lLastError, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(m_key.OpenKey("Software\\Other", TRUE));
    EXPECT_EQ(m_key.m_strSubKey, KEY_PATH);
}
#endif

TEST_F(RegistryKeyTest, IntegersRoundTripAndAnyTypeUpToFourBytesReads) {
    ASSERT_TRUE(m_key.OpenKey(KEY_PATH, TRUE));
    EXPECT_TRUE(m_key.WriteInt("Minus", -1));
    const std::optional<CStoredValue> stored = StoredValue(KEY_PATH, "Minus");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->dwType, REG_BINARY);
    EXPECT_EQ(stored->strData, "\xFF\xFF\xFF\xFF");

    Put("Dword", REG_DWORD, "\x58\x02\0\0"s);
    Put("Eight", REG_BINARY, "12345678");
    Put("Two", REG_BINARY, "\x34\x12");
    Put("Text", REG_SZ, "abc\0"s);
    const struct {
        const char* pszName;
        int nExpected;
    } cases[] = {
        {"Minus", -1},   {"Dword", 600},       {"Eight", 77},
        {"Two", 0x1234}, {"Text", 0x00636261}, {"Missing", 77},
    };
    const LONG lBefore = m_key.m_lLastError;
    for (const auto& c : cases) {
        EXPECT_EQ(m_key.ReadInt(c.pszName, 77), c.nExpected) << c.pszName;
    }
    EXPECT_EQ(m_key.m_lLastError, lBefore) << "ReadInt leaves the status";
}

TEST_F(RegistryKeyTest, StringsAreTextOfAtMost255BytesAsStored) {
    Put("Folder", REG_SZ, "/data/vks\0"s);
    Put("Expand", REG_EXPAND_SZ, "%HOME%/vks\0"s);
    Put("Dword", REG_DWORD, "\x58\x02\0\0"s);
    Put("Fits", REG_SZ, std::string(254, 'x') + '\0');
    Put("TooLong", REG_SZ, std::string(255, 'x') + '\0');
    // Windows would store a NUL that follows the data too: here a 'z' follows.
    Put("NoNul", REG_SZ, std::string(255, 'y') + 'z', 255);
    ASSERT_TRUE(m_key.OpenKey(KEY_PATH, FALSE));
    const struct {
        const char* pszName;
        std::string strExpected;
        LONG lStatus;
    } cases[] = {
        {"Folder", "/data/vks", ERROR_SUCCESS},    {"Expand", "%HOME%/vks", ERROR_SUCCESS},
        {"Dword", "dflt", ERROR_SUCCESS},          {"Fits", std::string(254, 'x'), ERROR_SUCCESS},
        {"TooLong", "dflt", ERROR_MORE_DATA},      {"NoNul", std::string(255, 'y'), ERROR_SUCCESS},
        {"Missing", "dflt", ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m_key.ReadString(c.pszName, "dflt"), c.strExpected) << c.pszName;
        EXPECT_EQ(m_key.m_lLastError, c.lStatus) << c.pszName;
    }
    EXPECT_EQ(m_key.GetValueType("Expand"), REG_EXPAND_SZ);
    EXPECT_EQ(m_key.GetValueType("Missing"), 0u);
}

TEST_F(RegistryKeyTest, WritesNeverCreateAKeyAndBeforeOpenKeyAddressTheRoot) {
    EXPECT_TRUE(m_key.WriteInt("AtRoot", 3)); // no OpenKey yet
    EXPECT_TRUE(StoredValue("", "AtRoot").has_value());

    ASSERT_TRUE(m_key.OpenKey(KEY_PATH, TRUE));
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, KEY_PATH), ERROR_SUCCESS);
    EXPECT_FALSE(m_key.WriteInt("Lost", 1));
    HKEY hKey = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, KEY_PATH, 0, KEY_READ, &hKey), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(m_key.ReadInt("AtRoot", 9), 9) << "reads keep addressing the vanished key";
}
