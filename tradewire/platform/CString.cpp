#include "tradewire/CString.h"

#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

bool IsFlagOrWidth(wchar_t ch) {
    return ch == L'-' || ch == L'+' || ch == L' ' || ch == L'#' || ch == L'.' || ch == L'*' ||
           (ch >= L'0' && ch <= L'9');
}

bool IsLengthModifier(wchar_t ch) {
    return ch == L'h' || ch == L'l' || ch == L'L' || ch == L'q' || ch == L'j' || ch == L'z' ||
           ch == L't' || ch == L'I';
}

// MFC reads %s and %c in a wide format as wide arguments and %S, %C, %hs, %hc as narrow ones;
// glibc's wide printf reads the plain forms as narrow. Rewrite each conversion to glibc's
// spelling of what MFC means.
std::wstring TranslateMfcFormat(const wchar_t* format) {
    std::wstring out;
    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        out += *p;
        if (*p != L'%') {
            continue;
        }
        ++p;
        while (*p != L'\0' && IsFlagOrWidth(*p)) {
            out += *p++;
        }
        std::wstring modifier;
        while (*p != L'\0' && IsLengthModifier(*p)) {
            modifier += *p++;
        }
        if (*p == L'\0') {
            out += modifier;
            break;
        }
        const wchar_t conversion = *p;
        if (conversion == L's' || conversion == L'c') {
            out += (modifier == L"h") ? L"" : L"l";
            out += conversion;
        } else if (conversion == L'S' || conversion == L'C') {
            out += (modifier == L"l") ? L"l" : L"";
            out += static_cast<wchar_t>(std::towlower(conversion));
        } else {
            out += modifier;
            out += conversion;
        }
    }
    return out;
}

}  // namespace

// vswprintf reports -1 both for "does not fit" and for a real encoding error; the buffer cap
// keeps the second case from growing without end. The result is copied into the shared heap,
// where the caller's CString takes it over.
wchar_t* TradewireFormatV(const wchar_t* format, va_list args, int* length) {
    if (format == nullptr) {
        return nullptr;
    }
    const std::wstring translated = TranslateMfcFormat(format);
    constexpr size_t kMaxChars = size_t{1} << 26;
    for (size_t capacity = 256; capacity <= kMaxChars; capacity *= 2) {
        std::vector<wchar_t> buffer(capacity);
        va_list attempt;
        va_copy(attempt, args);
        const int written = std::vswprintf(buffer.data(), capacity, translated.c_str(), attempt);
        va_end(attempt);
        if (written < 0) {
            continue;
        }
        const size_t bytes = (static_cast<size_t>(written) + 1) * sizeof(wchar_t);
        auto* text = static_cast<wchar_t*>(TradewireHeapAlloc(bytes));
        if (text != nullptr) {
            std::wmemcpy(text, buffer.data(), static_cast<size_t>(written) + 1);
            *length = written;
        }
        return text;
    }
    return nullptr;
}
