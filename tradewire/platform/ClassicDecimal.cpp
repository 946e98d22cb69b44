#include "platform/ClassicDecimal.h"

#include <string>

double ClassicDecimal(std::string_view digits) {
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
