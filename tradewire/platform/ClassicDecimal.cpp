#include "platform/ClassicDecimal.h"

#include <cstdint>
#include <string>

namespace {

// Every power of ten a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;
// Fifteen decimal digits always fit the 53 bits a double holds exactly.
constexpr int kMostExactDigits = 15;
// Beyond this an exponent can only give an infinity or zero; strtod sorts those out.
constexpr int kLargestReadExponent = 9999;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal with at most fifteen significant digits and a small enough scale is one exact
// integer times or divided by one exact power of ten: a single rounding, so the double is the
// correctly rounded one that strtod gives, without strtod's cost. Quotes are such numbers.
bool ReadExactDecimal(std::string_view digits, double& value) {
    size_t at = 0;
    const bool negative = at < digits.size() && digits[at] == '-';
    if (at < digits.size() && (digits[at] == '-' || digits[at] == '+')) {
        ++at;
    }
    uint64_t mantissa = 0;
    int significant = 0;
    int scale = 0;
    bool fraction = false;
    for (; at < digits.size(); ++at) {
        const char c = digits[at];
        if (c == '.' && !fraction) {
            fraction = true;
            continue;
        }
        if (!IsDigit(c)) {
            break;
        }
        scale -= fraction ? 1 : 0;
        if (mantissa == 0 && c == '0') {
            continue;  // a leading zero adds no significant digit
        }
        if (++significant > kMostExactDigits) {
            return false;
        }
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
    }
    if (at < digits.size()) {  // the exponent DecimalPrefix kept: e, an optional sign, digits
        ++at;
        const bool exponentNegative = at < digits.size() && digits[at] == '-';
        if (at < digits.size() && (digits[at] == '-' || digits[at] == '+')) {
            ++at;
        }
        int exponent = 0;
        for (; at < digits.size(); ++at) {
            exponent = exponent * 10 + (digits[at] - '0');
            if (exponent > kLargestReadExponent) {
                return false;
            }
        }
        scale += exponentNegative ? -exponent : exponent;
    }
    if (mantissa == 0) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    if (scale < -kLargestExactPower || scale > kLargestExactPower) {
        return false;
    }
    const double exact = static_cast<double>(mantissa);
    value = scale < 0 ? exact / kExactPowersOfTen[-scale] : exact * kExactPowersOfTen[scale];
    value = negative ? -value : value;
    return true;
}

}  // namespace

double ClassicDecimal(std::string_view digits) {
    double value = 0;
    if (ReadExactDecimal(digits, value)) {
        return value;
    }
    // strtod wants a terminator; fields are short, so most copies stay on the stack.
    constexpr size_t kStackSize = 64;
    if (digits.size() < kStackSize) {
        char buffer[kStackSize];
        digits.copy(buffer, digits.size());
        buffer[digits.size()] = '\0';
        return ClassicStrtod(buffer);
    }
    const std::string copy(digits);
    return ClassicStrtod(copy.c_str());
}
