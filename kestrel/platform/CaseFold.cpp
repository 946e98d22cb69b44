#include "platform/CaseFold.h"

#include <locale.h>

#include <cwctype>

namespace kestrel::platform {

wchar_t FoldCase(wchar_t ch) {
    if (ch < 0x80) {
        return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + (L'a' - L'A')) : ch;
    }
    // The C locale folds ASCII only; a UTF-8 locale object carries the full tables. It is made
    // once and never freed: the process keeps using it until it ends.
    static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (unicode == static_cast<locale_t>(0)) {
        return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
    }
    return static_cast<wchar_t>(::towlower_l(static_cast<wint_t>(ch), unicode));
}

}  // namespace kestrel::platform
