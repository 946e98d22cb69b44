#include "ui/DialogTemplate.h"

namespace kestrel::ui {

namespace {

// Rewrites Windows mnemonic text: '&' before a letter becomes `marker` (nothing when 0),
// "&&" becomes '&', and each `escaped` character is doubled so the toolkit shows it as is.
std::wstring RewriteMnemonic(const std::wstring& text, wchar_t marker, wchar_t escaped) {
    std::wstring out;
    out.reserve(text.size() + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] == L'&') {
                out += L'&';
                continue;
            }
            if (marker != 0) {
                out += marker;
            }
            if (escaped != 0 && text[i] == escaped) {
                out += escaped;
            }
            out += text[i];
            continue;
        }
        if (escaped != 0 && c == escaped) {
            out += escaped;
        }
        out += c;
    }
    return out;
}

}  // namespace

std::wstring StripMnemonic(const std::wstring& text) {
    return RewriteMnemonic(text, 0, 0);
}

std::wstring ToGtkMnemonic(const std::wstring& text) {
    return RewriteMnemonic(text, L'_', L'_');
}

}  // namespace kestrel::ui
