#include "platform/Codeset.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

namespace KestrelOs {
namespace {

constexpr wchar_t kReplacementChar = 0xFFFD;
constexpr size_t kLongestCharacter = 4;

struct CNamedCodePage {
    const char* name;
    UINT codePage;
};

constexpr std::array<CNamedCodePage, 10> kNamedCodePages{{
    {"UTF-8", CP_UTF8},
    {"UTF8", CP_UTF8},
    {"GBK", 936},
    {"GB2312", 936},
    {"GB18030", 54936},
    {"BIG5", 950},
    {"SHIFT_JIS", 932},
    {"EUC-KR", 949},
    {"ISO-8859-1", 28591},
    {"LATIN1", 28591},
}};

// "CP0" is code page 0, the system ANSI code page itself. False for names Windows lacks.
bool CodePageOfName(const std::string& codeset, UINT& codePage) {
    std::string name = codeset;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    for (const CNamedCodePage& named : kNamedCodePages) {
        if (name == named.name) {
            codePage = named.codePage;
            return true;
        }
    }
    if (name.size() < 3 || name.compare(0, 2, "CP") != 0 ||
        !std::all_of(name.begin() + 2, name.end(),
                     [](unsigned char ch) { return std::isdigit(ch) != 0; })) {
        return false;
    }
    codePage = static_cast<UINT>(std::strtoul(name.c_str() + 2, nullptr, 10));
    return codePage == CP_ACP || ::IsValidCodePage(codePage) != 0;
}

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

std::string ChooseSystemCodeset() {
    char buffer[128];
    const DWORD length = ::GetEnvironmentVariableA("TRADEWIRE_CODESET", buffer, sizeof(buffer));
    if (length > 0 && length < sizeof(buffer)) {
        return std::string(buffer, length);
    }
    return "CP0";
}

}  // namespace

const std::string& GetSystemCodeset() {
    static const std::string codeset = ChooseSystemCodeset();
    return codeset;
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
    // An invalid or cut byte: the shortest run that converts is one character; a byte that
    // starts none becomes U+FFFD and the conversion goes on.
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

wchar_t FoldCase(wchar_t ch) {
    if (ch < 0x80) {
        return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + (L'a' - L'A')) : ch;
    }
    // The single-character form of CharLowerW: Unicode's mapping, not the thread's locale.
    const ULONG_PTR lowered = reinterpret_cast<ULONG_PTR>(
        ::CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<unsigned>(ch)))));
    return static_cast<wchar_t>(lowered & 0xFFFF);
}

}  // namespace KestrelOs
