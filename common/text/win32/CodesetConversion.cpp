#include "common/text/CodesetConversion.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

namespace common::text {
namespace {

constexpr wchar_t kReplacementChar = 0xFFFD;
// The longest character of any code page Windows converts (UTF-8 and GB18030: 4 bytes).
constexpr size_t kLongestCharacter = 4;

struct CNamedCodePage {
    const char* name;
    UINT codePage;
};

// The iconv names callers, tests and locales use, as Windows code pages.
constexpr std::array<CNamedCodePage, 14> kNamedCodePages{{
    {"UTF-8", CP_UTF8},
    {"UTF8", CP_UTF8},
    {"GBK", 936},
    {"GB2312", 936},
    {"GB18030", 54936},
    {"BIG5", 950},
    {"SHIFT_JIS", 932},
    {"SJIS", 932},
    {"EUC-KR", 949},
    {"ISO-8859-1", 28591},
    {"LATIN1", 28591},
    {"ASCII", 20127},
    {"US-ASCII", 20127},
    {"ANSI_X3.4-1968", 20127},
}};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return text;
}

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char ch) { return std::isdigit(ch) != 0; });
}

// False when the name means nothing to Windows. "" and "CP0" are code page 0 (CP_ACP), the
// ANSI code page itself.
bool CodePageOfName(const std::string& codeset, UINT& codePage) {
    const std::string name = Upper(codeset);
    if (name.empty()) {
        codePage = CP_ACP;
        return true;
    }
    for (const CNamedCodePage& named : kNamedCodePages) {
        if (name == named.name) {
            codePage = named.codePage;
            return true;
        }
    }
    for (const std::string prefix : {"CP", "WINDOWS-", "IBM"}) {
        const std::string digits = name.substr(std::min(name.size(), prefix.size()));
        if (name.compare(0, prefix.size(), prefix) == 0 && AllDigits(digits)) {
            codePage = static_cast<UINT>(std::strtoul(digits.c_str(), nullptr, 10));
            return codePage == CP_ACP || ::IsValidCodePage(codePage) != 0;
        }
    }
    return false;
}

// Strict conversion, appended to `out`: false when any byte is invalid or a character is cut.
bool DecodeStrict(UINT codePage, std::string_view bytes, std::wstring& out) {
    const int size = static_cast<int>(bytes.size());
    const int length =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(length));
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data() + start,
                          length);
    return true;
}

}  // namespace

bool IsKnownCodeset(const std::string& codeset) {
    UINT codePage = 0;
    return CodePageOfName(codeset, codePage);
}

bool DecodeCodeset(const std::string& codeset, std::string_view bytes, std::wstring& out) {
    out.clear();
    UINT codePage = 0;
    if (!CodePageOfName(codeset, codePage)) {
        return false;
    }
    if (bytes.empty() || DecodeStrict(codePage, bytes, out)) {
        return true;
    }
    // Some byte is invalid or cut: take one character at a time, the shortest run of bytes
    // that converts, and let a byte that starts none become U+FFFD, then go on.
    size_t at = 0;
    while (at < bytes.size()) {
        size_t taken = 0;
        for (size_t length = 1; length <= kLongestCharacter && at + length <= bytes.size();
             ++length) {
            if (DecodeStrict(codePage, bytes.substr(at, length), out)) {
                taken = length;
                break;
            }
        }
        if (taken == 0) {
            out += kReplacementChar;
            taken = 1;
        }
        at += taken;
    }
    return true;
}

bool EncodeCodeset(const std::string& codeset, std::wstring_view text, std::string& out) {
    out.clear();
    UINT codePage = 0;
    if (!CodePageOfName(codeset, codePage)) {
        return false;
    }
    if (text.empty()) {
        return true;
    }
    const int size = static_cast<int>(text.size());
    // UTF-8 holds every character and refuses a default character; elsewhere a character the
    // code page cannot hold becomes '?', never a look-alike chosen by best fit.
    const bool utf8 = (codePage == CP_UTF8);
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = utf8 ? nullptr : "?";
    const int length =
        ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, fallback, nullptr);
    if (length <= 0) {
        return false;
    }
    out.resize(static_cast<size_t>(length));
    ::WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, fallback,
                          nullptr);
    return true;
}

}  // namespace common::text
