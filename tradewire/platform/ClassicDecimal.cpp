#include "platform/ClassicDecimal.h"

#include <locale.h>

#include <cstdlib>
#include <string>

namespace {

locale_t ClassicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
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
        return strtod_l(buffer, nullptr, ClassicLocale());
    }
    const std::string copy(digits);
    return strtod_l(copy.c_str(), nullptr, ClassicLocale());
}
