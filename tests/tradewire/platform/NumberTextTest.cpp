// The readers of every number from the wire. Run on both systems: each text must read the same
// under glibc and under the Windows runtime.

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/ClassicDecimal.h"
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

// Short decimals skip strtod; whatever path a number takes, its double must be strtod's, bit
// for bit (the sign of a zero included).
TEST(NumberText, EveryDecimalReadsBitForBitAsStrtodReadsIt) {
    std::mt19937 random(20261209);
    auto digitsOf = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += static_cast<char>('0' + random() % 10);
        }
        return text;
    };
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "+0",
                                      "-0.0",
                                      "0e5",
                                      "-0e-5",
                                      "000.000",
                                      "1",
                                      "0.1",
                                      "0.3",
                                      "1.2003",
                                      "999999999999999",
                                      "9999999999999999",
                                      "123456789012345e-22",
                                      "123456789012345e-23",
                                      "1e22",
                                      "1e23",
                                      "-5e-324"};
    for (int i = 0; i < 20000; ++i) {
        std::string text = random() % 3 == 0 ? "-" : (random() % 5 == 0 ? "+" : "");
        text += digitsOf(static_cast<int>(random() % 10));
        if (random() % 4 != 0) {
            text += "." + digitsOf(static_cast<int>(random() % 12));
        }
        if (random() % 3 == 0) {
            text += (random() % 2 ? "e-" : "e") + std::to_string(random() % 40);
        }
        if (!DecimalPrefix(text).empty()) {
            texts.push_back(std::string(DecimalPrefix(text)));
        }
    }
    for (const std::string& text : texts) {
        const double fast = ClassicDecimal(text);
        const double strtod = ClassicStrtod(text.c_str());
        EXPECT_EQ(std::memcmp(&fast, &strtod, sizeof fast), 0) << '"' << text << '"';
    }
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
