#include "data/FieldParse.h"
#include "data/FileDate.h"

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

// ---- The date in a file's name ---------------------------------------------------------------

TEST(FileDate, FromTheNameOnly) {
    struct {
        const char* pszPath;
        const char* pszDate; // null: no date
    } cases[] = {
        {"/data/vks/20040101.vks", "2004-01-01"},
        {"mill-2024-07-19-a.vks", "2024-07-19"},
        {"Field_20240229.vks", "2024-02-29"},
        {"Field_20230229.vks", nullptr},     // no such day
        {"/logs/20240101/day.vks", nullptr}, // in the folder, not the name
        {"day-120240101.vks", nullptr},      // part of a longer number
        {"2024-13-01.vks", nullptr},
        {"x2024-1-01.vks", nullptr},
        {"today.vks", nullptr},
        {"a20240102b20240103.vks", "2024-01-02"},
    };
    for (const auto& c : cases) {
        const auto date = FileDateOf(c.pszPath);
        EXPECT_EQ(date.has_value(), c.pszDate != nullptr) << c.pszPath;
        if (date && c.pszDate) {
            EXPECT_EQ(date->Text(), c.pszDate) << c.pszPath;
        }
    }
}
