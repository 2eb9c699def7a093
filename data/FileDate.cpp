#include "data/FileDate.h"

#include <cstdio>

namespace {
bool IsLeap(int nYear) {
    return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
}

bool IsDate(int nYear, int nMonth, int nDay) {
    static const int s_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nYear < 1900 || nYear > 2999 || nMonth < 1 || nMonth > 12 || nDay < 1) {
        return false;
    }
    return nDay <= s_days[nMonth - 1] + (nMonth == 2 && IsLeap(nYear) ? 1 : 0);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number written by n digits at psz, or -1 when they are not all digits.
int Digits(const char* psz, int n) {
    int nValue = 0;
    for (int i = 0; i < n; ++i) {
        if (!IsDigit(psz[i])) {
            return -1;
        }
        nValue = nValue * 10 + (psz[i] - '0');
    }
    return nValue;
}
} // namespace

std::string CFileDate::Text() const {
    char sz[16];
    std::snprintf(sz, sizeof sz, "%04d-%02d-%02d", nYear, nMonth, nDay);
    return sz;
}

std::optional<CFileDate> FileDateOf(const std::string& strPath) {
    const std::size_t nSlash = strPath.find_last_of('/');
    const std::string strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    const std::optional<CFileDateMatch> match = FindFileDate(strName);
    return match ? std::optional<CFileDate>(match->date) : std::nullopt;
}

bool LaterDay(const CFileDate& a, const CFileDate& b) {
    if (a.nYear != b.nYear) {
        return a.nYear > b.nYear;
    }
    return a.nMonth != b.nMonth ? a.nMonth > b.nMonth : a.nDay > b.nDay;
}

std::optional<CFileDateMatch> FindFileDate(const std::string& strName) {
    const char* psz = strName.c_str();
    for (std::size_t i = 0; i < strName.size(); ++i) {
        // A date is not part of a longer run of digits.
        if (i > 0 && IsDigit(psz[i - 1])) {
            continue;
        }
        for (const bool bDashed : {true, false}) {
            const std::size_t nLength = bDashed ? 10 : 8;
            if (i + nLength > strName.size() ||
                (i + nLength < strName.size() && IsDigit(psz[i + nLength]))) {
                continue;
            }
            if (bDashed && (psz[i + 4] != '-' || psz[i + 7] != '-')) {
                continue;
            }
            const int nYear = Digits(psz + i, 4);
            const int nMonth = Digits(psz + i + (bDashed ? 5 : 4), 2);
            const int nDay = Digits(psz + i + (bDashed ? 8 : 6), 2);
            if (IsDate(nYear, nMonth, nDay)) {
                return CFileDateMatch{CFileDate{nYear, nMonth, nDay}, i, nLength};
            }
        }
    }
    return std::nullopt;
}
