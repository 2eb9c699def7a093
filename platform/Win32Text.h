#pragma once
// Text at the edge of the Windows API: the program's strings are UTF-8, the API's are UTF-16,
// and the system words its errors in its own message table.

#ifdef _WIN32
#include <string>

#include <windows.h>

// Invalid UTF-8 becomes U+FFFD, as the system's own conversion makes it.
[[nodiscard]] std::wstring WideFromUtf8(const std::string& str);
[[nodiscard]] std::string Utf8FromWide(const wchar_t* psz, std::size_t nChars);
// The system's message for an error code, without its line end; "error N" when it has none.
[[nodiscard]] std::string DescribeSystemError(DWORD dwError);
#endif
