#include "../NumberText.h"

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace {

// The C locale, whatever the terminal set with setlocale: "1.5" must never read as 1.
_locale_t ClassicLocale() {
    static const _locale_t locale = _create_locale(LC_ALL, "C");
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

int ParseAtoi(std::string_view text) {
    return static_cast<int>(ParseAtol(text));
}

double ParseAtof(std::string_view text) {
    return WithTerminator(text,
                          [](const char* s) { return _strtod_l(s, nullptr, ClassicLocale()); });
}
