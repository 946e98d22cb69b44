#include "platform/ClassicDecimal.h"

#include <locale.h>
#include <stdlib.h>

namespace {

// The C locale, whatever the terminal set with setlocale: "1.5" must never read as 1.
_locale_t ClassicLocale() {
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    return locale;
}

}  // namespace

double ClassicStrtod(const char* text) {
    return _strtod_l(text, nullptr, ClassicLocale());
}
