#include "platform/Win32Text.h"

std::wstring WideFromUtf8(const std::string& str) {
    if (str.empty()) {
        return {};
    }
    const int nBytes = static_cast<int>(str.size());
    const int nChars = ::MultiByteToWideChar(CP_UTF8, 0, str.data(), nBytes, nullptr, 0);
    std::wstring strWide(static_cast<std::size_t>(nChars), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, str.data(), nBytes, strWide.data(), nChars);
    return strWide;
}

std::string Utf8FromWide(const wchar_t* psz, std::size_t nChars) {
    if (psz == nullptr || nChars == 0) {
        return {};
    }
    const int nWide = static_cast<int>(nChars);
    const int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, psz, nWide, nullptr, 0, nullptr, nullptr);
    std::string str(static_cast<std::size_t>(nBytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, psz, nWide, str.data(), nBytes, nullptr, nullptr);
    return str;
}

std::string DescribeSystemError(DWORD dwError) {
    wchar_t szMessage[512];
    DWORD nLength = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                     szMessage, 512, nullptr);
    while (nLength > 0 && (szMessage[nLength - 1] == L'\n' || szMessage[nLength - 1] == L'\r' ||
                           szMessage[nLength - 1] == L' ')) {
        --nLength;
    }
    if (nLength == 0) {
        return "error " + std::to_string(dwError);
    }
    // The program's text is UTF-8 whatever the system's code page.
    return Utf8FromWide(szMessage, nLength);
}
