#include "platform/ClassicDecimal.h"

#include <locale.h>

#include <cstdlib>

namespace {

locale_t ClassicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

double ClassicStrtod(const char* text) {
    return strtod_l(text, nullptr, ClassicLocale());
}
