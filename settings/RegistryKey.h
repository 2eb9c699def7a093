#pragma once
// CRegistryKey: a short-lived helper over one registry key, for reads that fall back to the
// caller's default and writes that say whether they worked.
//
// A caller constructs it, picks a root (SetRootKey), opens or creates one key path (OpenKey),
// reads or writes a few values and lets it go. The helper holds no registry handle between calls:
// every operation opens root + m_strSubKey with just the access it needs and closes it again, so
// nothing is left open if the caller returns early. Failures never raise or show anything.

#include "platform/Registry.h"

#include <initializer_list>
#include <string>
#include <vector>

class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Accepts HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_USERS only.
    BOOL SetRootKey(HKEY hRootKey);
    // Creates (bCreate) or opens the key with full access and remembers its path. An empty path
    // makes later calls address the root itself, without any registry call.
    BOOL OpenKey(const std::string& strKeyPath, BOOL bCreate);
    // The value's registry type, or 0 on any failure.
    [[nodiscard]] DWORD GetValueType(const std::string& strValueName);
    // A REG_SZ or REG_EXPAND_SZ value of at most 255 bytes (terminator included), as stored.
    [[nodiscard]] std::string ReadString(const std::string& strValueName,
                                         const std::string& strDefault);
    // Any value whose data fit in 4 bytes, as a little-endian signed integer.
    [[nodiscard]] int ReadInt(const std::string& strValueName, int nDefault);
    // Stores 4 little-endian bytes as REG_BINARY in an existing key.
    BOOL WriteInt(const std::string& strValueName, int nValue);
    // Stores several values as one save, so that they land together or not at all (a process
    // saving the same key at the same moment never mixes its values with these). The registry
    // status of the save: ERROR_SUCCESS, or why nothing was stored.
    struct CValue {
        std::string strName;
        DWORD dwType = REG_BINARY;
        std::string strBytes;
    };
    LONG WriteValues(const std::vector<CValue>& values);
    // Several integers as WriteInt stores them, as one save.
    struct CIntValue {
        const char* pszName;
        int nValue;
    };
    LONG WriteInts(std::initializer_list<CIntValue> values);
    // A text value as REG_SZ, and an integer as WriteInt stores it, for WriteValues.
    [[nodiscard]] static CValue TextValue(std::string strName, const std::string& strText);
    [[nodiscard]] static CValue IntValue(std::string strName, int nValue);
    void Reset();

    // Status of the last call recorded by OpenKey (open mode), GetValueType and ReadString.
    LONG m_lLastError = ERROR_SUCCESS;
    HKEY m_hRootKey = HKEY_CURRENT_USER;
    // When clear, OpenKey and WriteInt flush the key before closing it.
    BOOL m_bLazyWrite = TRUE;
    // The path of the last successful OpenKey; empty addresses the root.
    std::string m_strSubKey;

private:
    LONG Open(REGSAM sam, HKEY* phKey) const;
};
