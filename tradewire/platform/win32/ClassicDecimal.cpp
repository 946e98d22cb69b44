#include "platform/ClassicDecimal.h"

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace {

// The C locale, whatever the terminal set with setlocale: "1.5" must never read as 1.
_locale_t ClassicLocale() {
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    return locale;
}

}  // namespace

double ClassicDecimal(std::string_view digits) {
    // strtod wants a terminator; fields are short, so most copies stay on the stack.
    constexpr size_t kStackSize = 64;
    if (digits.size() < kStackSize) {
        char buffer[kStackSize];
        digits.copy(buffer, digits.size());
        buffer[digits.size()] = '\0';
        return _strtod_l(buffer, nullptr, ClassicLocale());
    }
    const std::string copy(digits);
    return _strtod_l(copy.c_str(), nullptr, ClassicLocale());
}
