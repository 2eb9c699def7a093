#include "data/FieldParse.h"

#include "platform/CLocaleNumber.h"

#include <charconv>
#include <climits>
#include <cstring>

namespace {
bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

bool ParseIntField(const char* psz, int* pnValue) {
    while (IsCSpace(*psz)) {
        ++psz;
    }
    bool bNegative = false;
    if (*psz == '+' || *psz == '-') {
        bNegative = *psz == '-';
        ++psz;
    }
    // Accumulate as a negative number so INT_MIN is representable.
    long long nValue = 0;
    while (IsDigit(*psz)) {
        nValue = nValue * 10 - (*psz - '0');
        if (nValue < INT_MIN) {
            return false;
        }
        ++psz;
    }
    if (!bNegative) {
        nValue = -nValue;
        if (nValue > INT_MAX) {
            return false;
        }
    }
    *pnValue = static_cast<int>(nValue);
    return true;
}

double ParseRealField(const char* psz) {
    while (IsCSpace(*psz)) {
        ++psz;
    }
    const char* pszNumber = psz;
    bool bPlus = false;
    if (*psz == '+') {
        bPlus = true;
        ++psz;
    }
    const char* pszEnd = psz + std::strlen(psz);
    // Hexadecimal numbers and out-of-range values take the library's own path; everything
    // else the much faster from_chars, which agrees with strtod on what it accepts.
    const char* pszDigits = (*psz == '-') ? psz + 1 : psz;
    const bool bHex = pszDigits[0] == '0' && (pszDigits[1] == 'x' || pszDigits[1] == 'X');
    if (!bHex && !(bPlus && *psz == '-')) {
        double dValue = 0.0;
        const auto result = std::from_chars(psz, pszEnd, dValue, std::chars_format::general);
        if (result.ec == std::errc()) {
            return dValue;
        }
        if (result.ec == std::errc::invalid_argument) {
            return 0.0;
        }
    }
    return ParseDoubleInCLocale(pszNumber);
}
