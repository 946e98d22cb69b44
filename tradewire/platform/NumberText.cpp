#include "NumberText.h"

#include <locale.h>

#include <cstdlib>
#include <string>

namespace {

locale_t ClassicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// strtol and strtod want a terminator; fields are short, so most copies stay on the stack.
template <class Parse>
auto WithTerminator(std::string_view text, Parse parse) {
    constexpr size_t kStackSize = 64;
    if (text.size() < kStackSize) {
        char buffer[kStackSize];
        text.copy(buffer, text.size());
        buffer[text.size()] = '\0';
        return parse(buffer);
    }
    const std::string copy(text);
    return parse(copy.c_str());
}

}  // namespace

long ParseAtol(std::string_view text) {
    return WithTerminator(text, [](const char* s) { return std::strtol(s, nullptr, 10); });
}

int ParseAtoi(std::string_view text) { return static_cast<int>(ParseAtol(text)); }

double ParseAtof(std::string_view text) {
    return WithTerminator(text, [](const char* s) { return strtod_l(s, nullptr, ClassicLocale()); });
}
