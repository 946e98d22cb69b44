#include "platform/NumberText.h"

#include <climits>
#include <cmath>

#include "platform/ClassicDecimal.h"
#include "platform/FloatRange.h"

namespace {

// White space as the C locale's isspace knows it.
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t SkipSpace(std::string_view text, size_t at) {
    while (at < text.size() && IsSpace(text[at])) {
        ++at;
    }
    return at;
}

size_t SkipSign(std::string_view text, size_t at) {
    return at < text.size() && (text[at] == '+' || text[at] == '-') ? at + 1 : at;
}

size_t SkipDigits(std::string_view text, size_t at) {
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    return at;
}

}  // namespace

int ParseAtoi(std::string_view text) {
    size_t at = SkipSpace(text, 0);
    const bool negative = at < text.size() && text[at] == '-';
    at = SkipSign(text, at);
    // Accumulated towards the sign's end of the range, so INT_MIN needs no special case.
    int value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        const int digit = text[at] - '0';
        if (negative) {
            if (value < (INT_MIN + digit) / 10) {
                return INT_MIN;
            }
            value = value * 10 - digit;
        } else {
            if (value > (INT_MAX - digit) / 10) {
                return INT_MAX;
            }
            value = value * 10 + digit;
        }
    }
    return value;
}

std::string_view DecimalPrefix(std::string_view text) {
    const size_t start = SkipSpace(text, 0);
    const size_t integerStart = SkipSign(text, start);
    size_t at = SkipDigits(text, integerStart);
    size_t digits = at - integerStart;
    if (at < text.size() && text[at] == '.') {
        const size_t fractionEnd = SkipDigits(text, at + 1);
        digits += fractionEnd - (at + 1);
        at = fractionEnd;
    }
    if (digits == 0) {
        return std::string_view();
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        const size_t exponentDigits = SkipSign(text, at + 1);
        const size_t exponentEnd = SkipDigits(text, exponentDigits);
        if (exponentEnd > exponentDigits) {
            at = exponentEnd;
        }
    }
    return text.substr(start, at - start);
}

double ParseAtof(std::string_view text) {
    const std::string_view digits = DecimalPrefix(text);
    if (digits.empty()) {
        return 0.0;
    }
    const double value = ClassicDecimal(digits);
    return std::isfinite(value) ? value : 0.0;
}

float ParseFloat(std::string_view text) {
    return FloatOrZero(ParseAtof(text));
}
