#include "platform/TextCodec.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kReplacementChar = 0xFFFD;
// The longest character of any code page Windows converts (UTF-8 and GB18030: 4 bytes).
constexpr size_t kLongestCharacter = 4;

struct CNamedCodePage {
    const char* name;
    UINT codePage;
};

// The codeset names callers and tests use, as Windows code pages.
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

// 0 when the name means nothing to Windows.
UINT CodePageOfName(const std::string& codeset) {
    const std::string name = Upper(codeset);
    for (const CNamedCodePage& named : kNamedCodePages) {
        if (name == named.name) {
            return named.codePage;
        }
    }
    for (const char* prefix : {"CP", "WINDOWS-", "IBM"}) {
        const std::string lead(prefix);
        if (name.size() > lead.size() && name.compare(0, lead.size(), lead) == 0) {
            const std::string digits = name.substr(lead.size());
            if (std::all_of(digits.begin(), digits.end(),
                            [](unsigned char ch) { return std::isdigit(ch) != 0; })) {
                const UINT codePage = static_cast<UINT>(std::strtoul(digits.c_str(), nullptr, 10));
                return ::IsValidCodePage(codePage) ? codePage : 0;
            }
        }
    }
    return 0;
}

bool IsAscii(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t ch) { return static_cast<unsigned>(ch) < 0x80; });
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

std::wstring_view UpToZero(std::wstring_view text) {
    return text.substr(0, std::min(text.size(), text.find(L'\0')));
}

std::string_view UpToZero(std::string_view bytes) {
    return bytes.substr(0, std::min(bytes.size(), bytes.find('\0')));
}

// Strict conversion: false when any byte is invalid or a character is cut off.
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
    return std::string();
}

}  // namespace

CTextCodec::CTextCodec(std::string codeset) : m_codeset(std::move(codeset)) {
    // An empty name is the system ANSI code page, code page 0 itself.
    if (m_codeset.empty()) {
        m_codePage = CP_ACP;
        m_codeset = "CP" + std::to_string(::GetACP());
    } else {
        m_codePage = CodePageOfName(m_codeset);
        if (m_codePage == 0) {
            m_codeset = "UTF-8";
            m_codePage = CP_UTF8;
        }
    }
    m_asciiCompatible = (ToBytes(L"A") == "A");
}

std::string CTextCodec::ToBytes(std::wstring_view text) const {
    text = UpToZero(text);
    if (text.empty() || (m_asciiCompatible && IsAscii(text))) {
        return std::string(text.begin(), text.end());
    }
    const int size = static_cast<int>(text.size());
    // UTF-8 holds every character and refuses a default character; elsewhere a character the
    // code page cannot hold becomes '?', never a look-alike chosen by best fit.
    const bool utf8 = (m_codePage == CP_UTF8);
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = utf8 ? nullptr : "?";
    const int length =
        ::WideCharToMultiByte(m_codePage, flags, text.data(), size, nullptr, 0, fallback, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string out(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(m_codePage, flags, text.data(), size, out.data(), length, fallback,
                          nullptr);
    return out;
}

std::wstring CTextCodec::ToWide(std::string_view bytes) const {
    bytes = UpToZero(bytes);
    if (m_asciiCompatible && IsAscii(bytes)) {
        return std::wstring(bytes.begin(), bytes.end());
    }
    std::wstring out;
    if (DecodeStrict(m_codePage, bytes, out)) {
        return out;
    }
    // Some byte is invalid or cut: take one character at a time, the shortest run of bytes
    // that converts, and let a byte that starts none become U+FFFD, then go on.
    out.clear();
    size_t at = 0;
    while (at < bytes.size()) {
        size_t taken = 0;
        for (size_t length = 1; length <= kLongestCharacter && at + length <= bytes.size();
             ++length) {
            if (DecodeStrict(m_codePage, bytes.substr(at, length), out)) {
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
    return out;
}

const CTextCodec& CTextCodec::System() {
    static const CTextCodec codec(ChooseSystemCodeset());
    return codec;
}

std::string WideToAnsi(const CString& text) {
    return CTextCodec::System().ToBytes(text.GetStdString());
}

CString AnsiToWide(std::string_view bytes) {
    return CString(CTextCodec::System().ToWide(bytes));
}
