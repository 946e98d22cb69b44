#include "tradewire/CString.h"

#include <cwchar>
#include <cwctype>
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

int SafeLength(const wchar_t* text) {
    return text == nullptr ? 0 : static_cast<int>(std::wcslen(text));
}

}  // namespace

CString::CString(const wchar_t* text) : m_text(text == nullptr ? L"" : text) {}

CString::CString(const wchar_t* text, int length) {
    if (text != nullptr && length > 0) {
        m_text.assign(text, static_cast<size_t>(length));
    }
}

CString& CString::operator=(const wchar_t* text) {
    m_text = (text == nullptr) ? L"" : text;
    return *this;
}

CString& CString::operator+=(const CString& text) {
    m_text += text.m_text;
    return *this;
}

CString& CString::operator+=(const wchar_t* text) {
    if (text != nullptr) {
        m_text += text;
    }
    return *this;
}

CString& CString::operator+=(wchar_t ch) {
    m_text += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const wchar_t* b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const wchar_t* a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

void CString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args) {
    if (format == nullptr) {
        m_text.clear();
        return;
    }
    const std::wstring translated = TranslateMfcFormat(format);
    // vswprintf reports -1 both for "does not fit" and for a real encoding error; the buffer
    // cap keeps the second case from growing without end.
    constexpr size_t kMaxChars = size_t{1} << 26;
    for (size_t capacity = 256; capacity <= kMaxChars; capacity *= 2) {
        std::vector<wchar_t> buffer(capacity);
        va_list attempt;
        va_copy(attempt, args);
        const int written = std::vswprintf(buffer.data(), capacity, translated.c_str(), attempt);
        va_end(attempt);
        if (written >= 0) {
            m_text.assign(buffer.data(), static_cast<size_t>(written));
            return;
        }
    }
    m_text.clear();
}

int CString::Compare(const wchar_t* text) const {
    return std::wcscmp(m_text.c_str(), text == nullptr ? L"" : text);
}

int CString::CompareNoCase(const wchar_t* text) const {
#ifdef _WIN32
    return _wcsicmp(m_text.c_str(), text == nullptr ? L"" : text);
#else
    return wcscasecmp(m_text.c_str(), text == nullptr ? L"" : text);
#endif
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0 || start > GetLength()) {
        return -1;
    }
    const size_t pos = m_text.find(ch, static_cast<size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const wchar_t* text, int start) const {
    if (text == nullptr || start < 0 || start > GetLength()) {
        return -1;
    }
    const size_t pos = m_text.find(text, static_cast<size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const {
    if (count <= 0) {
        return CString();
    }
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    if (first < 0) {
        first = 0;
    }
    if (count <= 0 || first >= GetLength()) {
        return CString();
    }
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    if (count <= 0) {
        return CString();
    }
    if (count >= GetLength()) {
        return *this;
    }
    return CString(m_text.substr(m_text.size() - static_cast<size_t>(count)));
}

int CString::Replace(wchar_t from, wchar_t to) {
    int replaced = 0;
    for (wchar_t& ch : m_text) {
        if (ch == from) {
            ch = to;
            ++replaced;
        }
    }
    return replaced;
}

int CString::Replace(const wchar_t* from, const wchar_t* to) {
    const int fromLength = SafeLength(from);
    if (fromLength == 0) {
        return 0;
    }
    const std::wstring replacement = (to == nullptr) ? L"" : to;
    std::wstring result;
    int replaced = 0;
    size_t pos = 0;
    for (;;) {
        const size_t hit = m_text.find(from, pos);
        if (hit == std::wstring::npos) {
            break;
        }
        result.append(m_text, pos, hit - pos);
        result += replacement;
        pos = hit + static_cast<size_t>(fromLength);
        ++replaced;
    }
    if (replaced > 0) {
        result.append(m_text, pos, std::wstring::npos);
        m_text.swap(result);
    }
    return replaced;
}

CString& CString::MakeUpper() {
    for (wchar_t& ch : m_text) {
        ch = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(ch)));
    }
    return *this;
}

CString& CString::MakeLower() {
    for (wchar_t& ch : m_text) {
        ch = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
    }
    return *this;
}
