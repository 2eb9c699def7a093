#pragma once
// The registry calls the program makes, with their Windows names, constants and status codes. On
// Windows they are the system's own. Elsewhere they run on one hive file per predefined root:
//
//   ${XDG_CONFIG_HOME:-$HOME/.config}/quillon/registry/HKEY_CURRENT_USER.reg   (others beside it)
//
// Flow: a call resolves its handle to a root and a key path, brings that root's hive up to date
// with its file (a cheap stat, a re-read only when the file changed), answers reads from memory,
// and makes every change through one locked save of the whole file (lock, re-read, apply this one
// change, write a temporary file, sync, rename). A change is on disk when its call returns
// ERROR_SUCCESS, so RegFlushKey and RegCloseKey have nothing left to write, and a change that
// cannot be saved is reported by the call that made it; the one exception is a batch
// (RegBeginBatchSave below), whose values are saved together by the call that ends it.
//
// The calls answer with Windows status codes only. What the hive file's state means for the user
// (a damaged file set aside, an unreadable one left alone) goes, one line at a time, to the report
// sink below.

#include "platform/WinTypes.h"

#include <functional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

struct HKEY__ {
    int unused;
};
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    void* lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// Predefined roots: a 32-bit value sign-extended into a handle, as on Windows.
#define QUILLON_PREDEFINED_HKEY(n)                                                                 \
    (reinterpret_cast<HKEY>(                                                                       \
        static_cast<std::uintptr_t>(static_cast<std::intptr_t>(static_cast<LONG>(n)))))
#define HKEY_CLASSES_ROOT QUILLON_PREDEFINED_HKEY(0x80000000u)
#define HKEY_CURRENT_USER QUILLON_PREDEFINED_HKEY(0x80000001u)
#define HKEY_LOCAL_MACHINE QUILLON_PREDEFINED_HKEY(0x80000002u)
#define HKEY_USERS QUILLON_PREDEFINED_HKEY(0x80000003u)
#define HKEY_PERFORMANCE_DATA QUILLON_PREDEFINED_HKEY(0x80000004u)
#define HKEY_CURRENT_CONFIG QUILLON_PREDEFINED_HKEY(0x80000005u)

// Access rights.
constexpr REGSAM DELETE = 0x00010000;
constexpr REGSAM READ_CONTROL = 0x00020000;
constexpr REGSAM WRITE_DAC = 0x00040000;
constexpr REGSAM WRITE_OWNER = 0x00080000;
constexpr REGSAM MAXIMUM_ALLOWED = 0x02000000;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_EXECUTE = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_LITTLE_ENDIAN = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_RESOURCE_LIST = 8;
constexpr DWORD REG_FULL_RESOURCE_DESCRIPTOR = 9;
constexpr DWORD REG_RESOURCE_REQUIREMENTS_LIST = 10;
constexpr DWORD REG_QWORD = 11;
constexpr DWORD REG_QWORD_LITTLE_ENDIAN = 11;

// Key options and create dispositions. Only non-volatile keys are kept here.
constexpr DWORD REG_OPTION_RESERVED = 0;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_OPTION_VOLATILE = 1;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Status codes.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_READ_FAULT = 30;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_DISK_FULL = 112;
constexpr LONG ERROR_BAD_PATHNAME = 161;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_KEY_DELETED = 1018;

// Creates the key and any missing keys on the way (non-volatile options only; lpClass and
// lpSecurityAttributes are accepted and not kept), or opens it when it exists. A name of more than
// 255 characters, or a key more than 512 levels below its root, gives ERROR_INVALID_PARAMETER.
LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                        REGSAM samDesired, const LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                        PHKEY phkResult, LPDWORD lpdwDisposition);
// A null or empty lpSubKey gives a new handle on hKey's own key.
LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                      PHKEY phkResult);
// Without lpData only the type and size are reported. A buffer that is too small gives
// ERROR_MORE_DATA, is left untouched, and *lpcbData says the size needed. Text stored without
// its NUL gets one after the data where the buffer has room; *lpcbData stays the stored size.
LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData);
// Stores the bytes exactly as given, of any type.
LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                       const BYTE* lpData, DWORD cbData);
// Both save and end hKey's batch, if it has one (RegBeginBatchSave), and return that save's status.
LSTATUS RegFlushKey(HKEY hKey);
LSTATUS RegCloseKey(HKEY hKey);
// Deletes a key without sub-keys (one with sub-keys gives ERROR_ACCESS_DENIED).
LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);

// ---- Beyond the Windows API ------------------------------------------------------------------

// The hive file of a predefined root as the current environment places it (it may not exist
// yet); empty for a handle that is not a root with a hive, or when no home folder is known.
[[nodiscard]] std::string RegistryHivePath(HKEY hRoot);

// Forgets every loaded hive and closes every handle, as if the process had just started. Tests
// use it to simulate the next run.
void ForgetRegistryHives();

// Test seam: when this environment variable names a point of a save ("temp-partial",
// "temp-complete" or "renamed"), the saving process stops itself there with SIGSTOP so that a
// test can kill it at that moment. It has no other effect, and nothing sets it outside tests.
inline constexpr const char* REGISTRY_STOP_AT_ENV = "QUILLON_REGISTRY_STOP_AT";
#endif

// ---- Both platforms ---------------------------------------------------------------------------

// Makes the next value changes through hKey (an open key handle, not a predefined root) one save:
// RegSetValueExA and RegDeleteValueA on it check their arguments, the handle's rights and the
// key at once and then only record the change, which every handle in this process sees, and
// RegFlushKey or RegCloseKey of hKey saves them all under one lock with one rewrite of the file,
// and ends the batch. That call returns the save's status; after a failed save the recorded
// changes are gone (the handle is closed all the same). A second call while a batch is open
// changes nothing. On Windows it does nothing: the registry holds every change in its memory at
// once and writes its hives whole.
LSTATUS RegBeginBatchSave(HKEY hKey);

// Where the registry's one-line reports go, without a program prefix or line end. Until a sink is
// installed they go to standard error as "quillon: <line>"; an empty sink drops them. Returns the
// sink it replaces. A sink is called after the registry has finished the call that reported, so
// it may call the registry itself.
using RegistryReportSink = std::function<void(const std::string&)>;
RegistryReportSink SetRegistryReportSink(RegistryReportSink sink);

// A status code in words, as the system's message table gives it ("Access is denied."), for the
// codes the registry calls return; "error N" for any other.
[[nodiscard]] std::string DescribeRegistryStatus(LONG lStatus);

// Where a root's values are kept, for messages: the hive file here, "the registry" on Windows.
[[nodiscard]] std::string DescribeRegistryLocation(HKEY hRoot);
