// Test helper: a separate process that writes values through the registry stand-in.
//
//   registry_writer PREFIX COUNT
//
// Creates "Software\Quillon Test" under HKEY_CURRENT_USER and sets COUNT REG_DWORD values named
// PREFIX0, PREFIX1, ... (value i holds i), flushing after each. Exits 0 when every call
// succeeded, otherwise prints the failing status and exits 1. The hive is wherever the inherited
// environment (XDG_CONFIG_HOME) puts it.

#include "platform/Registry.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: registry_writer PREFIX COUNT\n");
        return 2;
    }
    const std::string strPrefix = argv[1];
    const int nCount = std::atoi(argv[2]);
    HKEY hKey = nullptr;
    LONG l = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillon Test", 0, nullptr,
                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
    for (int i = 0; i < nCount && l == ERROR_SUCCESS; ++i) {
        const auto dwValue = static_cast<DWORD>(i);
        l = RegSetValueExA(hKey, (strPrefix + std::to_string(i)).c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue);
        if (l == ERROR_SUCCESS) {
            l = RegFlushKey(hKey);
        }
    }
    if (l != ERROR_SUCCESS) {
        std::fprintf(stderr, "registry_writer: status %ld\n", static_cast<long>(l));
        return 1;
    }
    return RegCloseKey(hKey) == ERROR_SUCCESS ? 0 : 1;
}
