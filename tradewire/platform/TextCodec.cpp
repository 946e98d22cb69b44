#include "platform/TextCodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cwchar>

namespace {

constexpr wchar_t kReplacementChar = 0xFFFD;

class CIconv {
  public:
    CIconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~CIconv() {
        if (IsOpen()) {
            iconv_close(m_cd);
        }
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_cd; }

  private:
    iconv_t m_cd;
};

bool IsAscii(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t ch) { return ch >= 0 && ch < 0x80; });
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

// iconv's buffers are non-const char pointers; the input is never written through them.
char* InputPointer(const void* data) {
    return const_cast<char*>(static_cast<const char*>(data));
}

std::string NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read once, at start
    return value == nullptr ? std::string() : std::string(value);
}

std::string CodesetOfLocale(const std::string& locale) {
    const size_t dot = locale.find('.');
    if (dot == std::string::npos) {
        return std::string();
    }
    const size_t at = locale.find('@', dot);
    return locale.substr(dot + 1, at == std::string::npos ? std::string::npos : at - dot - 1);
}

std::string ChooseSystemCodeset() {
    std::string codeset = NonEmptyEnv("TRADEWIRE_CODESET");
    if (!codeset.empty()) {
        return codeset;
    }
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const std::string locale = NonEmptyEnv(name);
        if (!locale.empty()) {
            codeset = CodesetOfLocale(locale);
            return codeset.empty() ? std::string("UTF-8") : codeset;
        }
    }
    return "UTF-8";
}

}  // namespace

CTextCodec::CTextCodec(std::string codeset) : m_codeset(std::move(codeset)) {
    CIconv probe(m_codeset.c_str(), "WCHAR_T");
    if (!probe.IsOpen()) {
        m_codeset = "UTF-8";
        return;
    }
    // Codesets such as UTF-16 do not keep ASCII as single bytes; those take the slow road.
    m_asciiCompatible = (ToBytes(L"A") == "A");
}

std::string CTextCodec::ToBytes(std::wstring_view text) const {
    text = UpToZero(text);
    if (m_asciiCompatible && IsAscii(text)) {
        return std::string(text.begin(), text.end());
    }
    CIconv converter(m_codeset.c_str(), "WCHAR_T");
    if (!converter.IsOpen()) {
        return std::string();
    }
    std::string out;
    char* in = InputPointer(text.data());
    size_t inLeft = text.size() * sizeof(wchar_t);
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        const size_t result = iconv(converter.Handle(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (result != static_cast<size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // A character the codeset cannot hold (or a lone surrogate): '?' as Windows does.
        out += '?';
        in += sizeof(wchar_t);
        inLeft -= std::min(inLeft, sizeof(wchar_t));
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof(buffer);
    iconv(converter.Handle(), nullptr, nullptr, &outPtr, &outLeft);  // close any shift state
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    return out;
}

std::wstring CTextCodec::ToWide(std::string_view bytes) const {
    bytes = UpToZero(bytes);
    if (m_asciiCompatible && IsAscii(bytes)) {
        return std::wstring(bytes.begin(), bytes.end());
    }
    CIconv converter("WCHAR_T", m_codeset.c_str());
    if (!converter.IsOpen()) {
        return std::wstring();
    }
    std::wstring out;
    char* in = InputPointer(bytes.data());
    size_t inLeft = bytes.size();
    wchar_t buffer[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof(buffer);
        const size_t result = iconv(converter.Handle(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(reinterpret_cast<wchar_t*>(outPtr) - buffer));
        if (result != static_cast<size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // An invalid byte, or a character cut off at the end: U+FFFD for the byte, go on.
        out += kReplacementChar;
        ++in;
        --inLeft;
        iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
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
