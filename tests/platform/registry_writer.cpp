// Test helper: a separate process that writes values through the registry stand-in.
//
//   registry_writer PREFIX COUNT
//   registry_writer --batch TAG ROUNDS
//
// Both create "Software\Quillon Test" under HKEY_CURRENT_USER. The first sets COUNT REG_DWORD
// values named PREFIX0, PREFIX1, ... (value i holds i), flushing after each. The second writes
// the four window placement values ROUNDS times, each round as one batch on its own handle, all
// four holding TAG * 1000000 + round as 4 little-endian bytes. Exits 0 when every call succeeded,
// otherwise prints the failing status and exits 1. The hive is wherever the inherited environment
// (XDG_CONFIG_HOME) puts it.

#include "platform/Registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* TEST_KEY = "Software\\Quillon Test";
constexpr const char* PLACEMENT_VALUES[] = {"Window X", "Window Y", "Window Width",
                                            "Window Height"};

LONG CreateTestKey(HKEY* phKey) {
    return RegCreateKeyExA(HKEY_CURRENT_USER, TEST_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, phKey, nullptr);
}

LONG WriteValues(const std::string& strPrefix, int nCount) {
    HKEY hKey = nullptr;
    LONG l = CreateTestKey(&hKey);
    for (int i = 0; i < nCount && l == ERROR_SUCCESS; ++i) {
        const auto dwValue = static_cast<DWORD>(i);
        l = RegSetValueExA(hKey, (strPrefix + std::to_string(i)).c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue);
        if (l == ERROR_SUCCESS) {
            l = RegFlushKey(hKey);
        }
    }
    const LONG lClose = hKey != nullptr ? RegCloseKey(hKey) : ERROR_SUCCESS;
    return l != ERROR_SUCCESS ? l : lClose;
}

LONG WriteBatches(int nTag, int nRounds) {
    for (int nRound = 0; nRound < nRounds; ++nRound) {
        HKEY hKey = nullptr;
        LONG l = CreateTestKey(&hKey);
        if (l == ERROR_SUCCESS) {
            l = RegBeginBatchSave(hKey);
        }
        const auto u = static_cast<std::uint32_t>(nTag * 1000000 + nRound);
        const BYTE bytes[4] = {static_cast<BYTE>(u), static_cast<BYTE>(u >> 8),
                               static_cast<BYTE>(u >> 16), static_cast<BYTE>(u >> 24)};
        for (const char* pszName : PLACEMENT_VALUES) {
            if (l == ERROR_SUCCESS) {
                l = RegSetValueExA(hKey, pszName, 0, REG_BINARY, bytes, sizeof bytes);
            }
        }
        const LONG lClose = hKey != nullptr ? RegCloseKey(hKey) : ERROR_SUCCESS;
        if (l != ERROR_SUCCESS || lClose != ERROR_SUCCESS) {
            return l != ERROR_SUCCESS ? l : lClose;
        }
    }
    return ERROR_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && std::strcmp(argv[1], "--batch") == 0)) {
        std::fprintf(stderr, "usage: registry_writer PREFIX COUNT\n"
                             "       registry_writer --batch TAG ROUNDS\n");
        return 2;
    }
    const LONG l = argc == 4 ? WriteBatches(std::atoi(argv[2]), std::atoi(argv[3]))
                             : WriteValues(argv[1], std::atoi(argv[2]));
    if (l != ERROR_SUCCESS) {
        std::fprintf(stderr, "registry_writer: status %ld\n", static_cast<long>(l));
        return 1;
    }
    return 0;
}
