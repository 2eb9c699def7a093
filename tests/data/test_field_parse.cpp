#include "data/FieldParse.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

// ---- Integer fields: atoi's reading, with overflow reported ---------------------------------

TEST(ParseIntField, ReadsAsAtoi) {
    const char* inputs[] = {"08", " 8", "8:", "+7", "-3x", "", ":", "  \t12", "0008", "-0", "1 2"};
    for (const char* psz : inputs) {
        int nValue = -99;
        ASSERT_TRUE(ParseIntField(psz, &nValue)) << psz;
        EXPECT_EQ(nValue, std::atoi(psz)) << '"' << psz << '"';
    }
}

TEST(ParseIntField, OverflowIsRefusedNotWrapped) {
    int nValue = 5;
    EXPECT_TRUE(ParseIntField("2147483647", &nValue));
    EXPECT_EQ(nValue, 2147483647);
    EXPECT_TRUE(ParseIntField("-2147483648", &nValue));
    EXPECT_EQ(nValue, -2147483647 - 1);
    nValue = 5;
    EXPECT_FALSE(ParseIntField("2147483648", &nValue));
    EXPECT_FALSE(ParseIntField("-2147483649", &nValue));
    EXPECT_FALSE(ParseIntField("99999999999999999999999", &nValue));
    EXPECT_EQ(nValue, 5);
}

// ---- Real fields: atof's reading in the C locale ---------------------------------------------

namespace {
// C99's atof. MinGW's C library is msvcrt, whose atof predates C99 (no inf, nan or hexadecimal);
// its own strtod is C99's.
double ReferenceAtof(const char* psz) {
#ifdef __MINGW32__
    return __mingw_strtod(psz, nullptr);
#else
    return std::atof(psz);
#endif
}
} // namespace

TEST(ParseRealField, ReadsAsAtof) {
    const char* inputs[] = {"-0.45",  "3.2", "  12.5e1",  "+4",  "+-4",  ".5",    "5.",    "1e",
                            "1e+",    "abc", "",          "-",   "0x1A", "0x1p3", "1e400", "-1e400",
                            "1e-400", "inf", "-Infinity", "nan", "12,5", "7 8",   "\t-2"};
    for (const char* psz : inputs) {
        const double dExpected = ReferenceAtof(psz);
        const double dActual = ParseRealField(psz);
        if (std::isnan(dExpected)) {
            EXPECT_TRUE(std::isnan(dActual)) << psz;
        } else {
            EXPECT_EQ(dActual, dExpected) << '"' << psz << '"';
        }
    }
}

TEST(ParseRealField, IgnoresTheProcessLocale) {
    // A user locale with a decimal comma must not change how files read.
    const char* pszOld = std::setlocale(LC_NUMERIC, nullptr);
    const std::string strOld = pszOld != nullptr ? pszOld : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
    }
    EXPECT_EQ(ParseRealField("3.25"), 3.25);
    EXPECT_EQ(ParseRealField("0x1p-1"), 0.5);
    std::setlocale(LC_NUMERIC, strOld.c_str());
}
