#include "settings/RegistryKey.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {
constexpr DWORD READ_STRING_BUFFER = 256;
constexpr DWORD READ_STRING_OFFERED = 255; // one byte short, so the text always ends in a NUL
constexpr DWORD INT_BYTES = 4;

using BinaryInt = std::array<BYTE, INT_BYTES>;

// An integer as the registry keeps it: 4 bytes, little-endian.
BinaryInt ToBinary(int nValue) {
    const auto u = static_cast<std::uint32_t>(nValue);
    return {static_cast<BYTE>(u), static_cast<BYTE>(u >> 8), static_cast<BYTE>(u >> 16),
            static_cast<BYTE>(u >> 24)};
}
} // namespace

CRegistryKey::~CRegistryKey() {
    Reset();
    m_strSubKey.clear();
}

BOOL CRegistryKey::SetRootKey(HKEY hRootKey) {
    if (hRootKey != HKEY_CLASSES_ROOT && hRootKey != HKEY_CURRENT_USER &&
        hRootKey != HKEY_LOCAL_MACHINE && hRootKey != HKEY_USERS) {
        return FALSE;
    }
    m_hRootKey = hRootKey;
    return TRUE;
}

LONG CRegistryKey::Open(REGSAM sam, HKEY* phKey) const {
    return RegOpenKeyExA(m_hRootKey, m_strSubKey.c_str(), 0, sam, phKey);
}

BOOL CRegistryKey::OpenKey(const std::string& strKeyPath, BOOL bCreate) {
    if (strKeyPath.empty()) {
        m_strSubKey.clear();
        return TRUE;
    }
    HKEY hKey = nullptr;
    if (bCreate) {
        DWORD dwDisposition = 0;
        if (RegCreateKeyExA(m_hRootKey, strKeyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &hKey, &dwDisposition) != ERROR_SUCCESS) {
            return FALSE;
        }
    } else {
        m_lLastError = RegOpenKeyExA(m_hRootKey, strKeyPath.c_str(), 0, KEY_ALL_ACCESS, &hKey);
        if (m_lLastError != ERROR_SUCCESS) {
            return FALSE;
        }
    }
    m_strSubKey = strKeyPath;
    if (!m_bLazyWrite) {
        RegFlushKey(hKey);
    }
    RegCloseKey(hKey);
    return TRUE;
}

DWORD CRegistryKey::GetValueType(const std::string& strValueName) {
    HKEY hKey = nullptr;
    m_lLastError = Open(KEY_QUERY_VALUE, &hKey);
    if (m_lLastError != ERROR_SUCCESS) {
        return 0;
    }
    DWORD dwType = 0;
    m_lLastError = RegQueryValueExA(hKey, strValueName.c_str(), nullptr, &dwType, nullptr, nullptr);
    RegCloseKey(hKey);
    return m_lLastError == ERROR_SUCCESS ? dwType : 0;
}

std::string CRegistryKey::ReadString(const std::string& strValueName,
                                     const std::string& strDefault) {
    const DWORD dwType = GetValueType(strValueName);
    if (dwType != REG_SZ && dwType != REG_EXPAND_SZ) {
        return strDefault;
    }
    HKEY hKey = nullptr;
    m_lLastError = Open(KEY_READ, &hKey);
    if (m_lLastError != ERROR_SUCCESS) {
        return strDefault;
    }
    BYTE buffer[READ_STRING_BUFFER] = {};
    DWORD cbData = READ_STRING_OFFERED;
    m_lLastError = RegQueryValueExA(hKey, strValueName.c_str(), nullptr, nullptr, buffer, &cbData);
    RegCloseKey(hKey);
    if (m_lLastError != ERROR_SUCCESS) {
        return strDefault;
    }
    // The last byte is never offered, so the text ends within the buffer even when the stored
    // data lack their NUL.
    const char* pszText = reinterpret_cast<const char*>(buffer);
    return {pszText, strnlen(pszText, READ_STRING_BUFFER)};
}

int CRegistryKey::ReadInt(const std::string& strValueName, int nDefault) {
    HKEY hKey = nullptr;
    if (Open(KEY_READ, &hKey) != ERROR_SUCCESS) {
        return nDefault;
    }
    // A value shorter than 4 bytes fills the low-order bytes; the others stay zero.
    BYTE bytes[INT_BYTES] = {};
    DWORD cbData = INT_BYTES;
    int nResult = nDefault;
    if (RegQueryValueExA(hKey, strValueName.c_str(), nullptr, nullptr, bytes, &cbData) ==
        ERROR_SUCCESS) {
        const std::uint32_t u =
            static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
            static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
        nResult = static_cast<int>(u);
    }
    RegCloseKey(hKey);
    return nResult;
}

LONG CRegistryKey::WriteValues(const std::vector<CValue>& values) {
    HKEY hKey = nullptr;
    if (const LONG lOpen = Open(KEY_WRITE, &hKey); lOpen != ERROR_SUCCESS) {
        return lOpen;
    }
    (void)RegBeginBatchSave(hKey);
    LONG lStatus = ERROR_SUCCESS;
    for (const CValue& value : values) {
        lStatus = RegSetValueExA(hKey, value.strName.c_str(), 0, value.dwType,
                                 reinterpret_cast<const BYTE*>(value.strBytes.data()),
                                 static_cast<DWORD>(value.strBytes.size()));
        if (lStatus != ERROR_SUCCESS) {
            break;
        }
    }
    // The batch is saved by the flush; a failed save stores none of it.
    const LONG lSave = lStatus == ERROR_SUCCESS ? RegFlushKey(hKey) : lStatus;
    const LONG lClose = RegCloseKey(hKey);
    return lSave != ERROR_SUCCESS ? lSave : lClose;
}

LONG CRegistryKey::WriteInts(std::initializer_list<CIntValue> values) {
    std::vector<CValue> binaries;
    for (const CIntValue& value : values) {
        binaries.push_back(IntValue(value.pszName, value.nValue));
    }
    return WriteValues(binaries);
}

CRegistryKey::CValue CRegistryKey::IntValue(std::string strName, int nValue) {
    const BinaryInt bytes = ToBinary(nValue);
    return {std::move(strName), REG_BINARY, std::string(bytes.begin(), bytes.end())};
}

CRegistryKey::CValue CRegistryKey::TextValue(std::string strName, const std::string& strText) {
    // Stored with its NUL, as the registry's own tools store text.
    return {std::move(strName), REG_SZ, strText + std::string(1, '\0')};
}

BOOL CRegistryKey::WriteInt(const std::string& strValueName, int nValue) {
    HKEY hKey = nullptr;
    if (Open(KEY_WRITE, &hKey) != ERROR_SUCCESS) {
        return FALSE;
    }
    const BinaryInt bytes = ToBinary(nValue);
    const bool bStored = RegSetValueExA(hKey, strValueName.c_str(), 0, REG_BINARY, bytes.data(),
                                        INT_BYTES) == ERROR_SUCCESS;
    if (!m_bLazyWrite) {
        RegFlushKey(hKey);
    }
    RegCloseKey(hKey);
    return bStored ? TRUE : FALSE;
}

void CRegistryKey::Reset() {
    m_strSubKey.clear();
    m_hRootKey = HKEY_CURRENT_USER;
    m_bLazyWrite = TRUE;
}
