// The readers of every number from the wire. Run on both systems: each text must read the same
// under glibc and under the Windows runtime.

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>
#include <utility>

#include "platform/NumberText.h"

namespace {

TEST(NumberText, IntegersSaturateAtTheEndsOfInt) {
    const std::pair<const char*, int> cases[] = {
        {"3000000000", INT_MAX},
        {"-3000000000", INT_MIN},
        {"99999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"00000000000000000000042", 42},  // leading zeros are no overflow
        {" \t\n+17 apples", 17},
        {"-0", 0},
        {"0x10", 0},
        {"1e5", 1},
        {"12.9", 12},
        {"nan", 0},
        {"- 5", 0},
        {"", 0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseAtoi(text), expected) << '"' << text << '"';
    }
    // A field is a view into the message: the bytes after it are not read.
    EXPECT_EQ(ParseAtoi(std::string_view("123456789", 3)), 123);
}

TEST(NumberText, OnlyThePlainDecimalPrefixIsANumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"  -1.5e3abc", "-1.5e3"},
        {"+.5", "+.5"},
        {"5.", "5."},
        {"1e", "1"},
        {"1e+", "1"},
        {"2E-3x", "2E-3"},
        {"0x10", "0"},
        {"0X1p3", "0"},
        {"nan(123)", ""},
        {"-inf", ""},
        {".", ""},
        {"-.e1", ""},
        {"", ""},
    };
    for (const auto& [text, prefix] : cases) {
        EXPECT_EQ(DecimalPrefix(text), prefix) << '"' << text << '"';
    }
}

TEST(NumberText, FloatingNumbersAreFiniteAndReadTheSameOnEverySystem) {
    for (const char* text : {"nan", "NaN", "-nan", "nan(123)", "inf", "-INF", "Infinity",
                             "+infinity", "1e309", "-1e309", "99e99999", "0x10", "0x1p3", ""}) {
        EXPECT_EQ(ParseAtof(text), 0.0) << '"' << text << '"';
        EXPECT_EQ(ParseFloat(text), 0.0f) << '"' << text << '"';
    }
    EXPECT_EQ(ParseAtof(" -1.25x"), -1.25);
    EXPECT_EQ(ParseAtof("1.5e2"), 150.0);
    EXPECT_EQ(ParseAtof("1e"), 1.0);
    EXPECT_EQ(ParseAtof("1.7976931348623157e308"), DBL_MAX);
    EXPECT_EQ(ParseAtof("1e-400"), 0.0);   // underflow is a finite 0, not an error
    EXPECT_EQ(ParseAtof("-1e39"), -1e39);  // within double, beyond float
    // Longer than any stack copy the reader makes.
    EXPECT_EQ(ParseAtof("0." + std::string(80, '0') + "1e82"), 10.0);
    EXPECT_EQ(ParseAtof(std::string(400, '9')), 0.0);
}

TEST(NumberText, AFloatFieldReadsAsZeroBeyondTheFloatRange) {
    for (const char* text : {"-1e39", "1e39", "3.5e38", "-3.4028236e38", "1e300"}) {
        EXPECT_EQ(ParseFloat(text), 0.0f) << '"' << text << '"';
    }
    EXPECT_EQ(ParseFloat("3.4028234e38"), FLT_MAX);
    EXPECT_EQ(ParseFloat("-3.4028234e38"), -FLT_MAX);
    EXPECT_EQ(ParseFloat("1.2003"), 1.2003f);
    EXPECT_EQ(ParseFloat("1e-50"), 0.0f);  // below the float range: the narrowing rounds
    EXPECT_TRUE(std::isfinite(ParseFloat("1e-40")));
}

}  // namespace
