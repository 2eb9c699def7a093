#include "tests/platform/test_registry_support.h"

#include <cstdlib>

namespace testing_support {

#ifdef _WIN32

bool RunningUnderWine() {
    const HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
    return hNtdll != nullptr && ::GetProcAddress(hNtdll, "wine_get_version") != nullptr;
}

namespace {
constexpr const char* PRIVATE_KEYS = "Software\\Quillon Tests";
int g_nNextKey = 0;
} // namespace

void CRegistryTest::SetUp() {
    m_strPrivateKey = std::string(PRIVATE_KEYS) + "\\" + std::to_string(::GetCurrentProcessId()) +
                      "-" + std::to_string(g_nNextKey++);
    HKEY hPrivate = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, m_strPrivateKey.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &hPrivate, nullptr),
              ERROR_SUCCESS);
    // Until TearDown, HKEY_CURRENT_USER in this process is that key.
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, hPrivate), ERROR_SUCCESS);
    RegCloseKey(hPrivate);
}

void CRegistryTest::TearDown() {
    EXPECT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, m_strPrivateKey.c_str()), ERROR_SUCCESS);
}

void CRegistryTest::StartNextRun() {
    // The registry keeps nothing for a process between calls.
}

std::optional<CStoredValue> CRegistryTest::StoredValue(const std::string& strKey,
                                                       const std::string& strName) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, strKey.c_str(), 0, KEY_QUERY_VALUE, &hKey) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    CStoredValue value;
    DWORD cbData = 0;
    LONG l = RegQueryValueExA(hKey, strName.c_str(), nullptr, &value.dwType, nullptr, &cbData);
    if (l == ERROR_SUCCESS) {
        value.strData.resize(cbData);
        l = RegQueryValueExA(hKey, strName.c_str(), nullptr, &value.dwType,
                             reinterpret_cast<BYTE*>(value.strData.data()), &cbData);
        value.strData.resize(cbData);
    }
    RegCloseKey(hKey);
    return l == ERROR_SUCCESS ? std::optional(value) : std::nullopt;
}

#else

bool RunningUnderWine() {
    return false;
}

void CRegistryTest::SetUp() {
    const char* pszOld = std::getenv("XDG_CONFIG_HOME");
    m_strOldConfig = pszOld != nullptr ? pszOld : "";
    SetEnv("XDG_CONFIG_HOME", m_dir.Path());
    ForgetRegistryHives();
}

void CRegistryTest::TearDown() {
    ForgetRegistryHives();
    SetEnv("XDG_CONFIG_HOME", m_strOldConfig);
}

void CRegistryTest::StartNextRun() {
    ForgetRegistryHives();
}

std::optional<CStoredValue> CRegistryTest::StoredValue(const std::string& strKey,
                                                       const std::string& strName) {
    CHiveKey tree;
    const CHiveValue* pValue = FileValue(tree, strKey, strName);
    if (pValue == nullptr) {
        return std::nullopt;
    }
    return CStoredValue{pValue->dwType, pValue->strData};
}

const CHiveValue* CRegistryTest::FileValue(CHiveKey& tree, const std::string& strKey,
                                           const std::string& strName) {
    CHiveParseError error;
    if (!ParseHive(HiveText(), "HKEY_CURRENT_USER", tree, &error)) {
        ADD_FAILURE() << "hive does not parse: line " << error.nLine << ": " << error.strReason;
        return nullptr;
    }
    std::vector<std::string> path;
    for (std::size_t nStart = 0; !strKey.empty();) {
        const std::size_t nSlash = strKey.find('\\', nStart);
        path.push_back(strKey.substr(nStart, nSlash - nStart));
        if (nSlash == std::string::npos) {
            break;
        }
        nStart = nSlash + 1;
    }
    const CHiveKey* pKey = tree.FindPath(path);
    return pKey != nullptr ? pKey->FindValue(strName) : nullptr;
}

#endif

} // namespace testing_support
