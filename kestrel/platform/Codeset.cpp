#include "platform/Codeset.h"

#include <iconv.h>
#include <locale.h>

#include <cwctype>

#include <cerrno>
#include <cstdlib>

namespace KestrelOs {
namespace {

constexpr wchar_t kReplacementChar = 0xFFFD;

std::string NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read once
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
    std::string forced = NonEmptyEnv("TRADEWIRE_CODESET");
    if (!forced.empty()) {
        return forced;
    }
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const std::string locale = NonEmptyEnv(name);
        if (!locale.empty()) {
            const std::string codeset = CodesetOfLocale(locale);
            return codeset.empty() ? std::string("UTF-8") : codeset;
        }
    }
    return "UTF-8";
}

class CIconv {
  public:
    CIconv(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~CIconv() {
        if (IsOpen()) {
            ::iconv_close(m_cd);
        }
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_cd; }

  private:
    iconv_t m_cd;
};

}  // namespace

const std::string& GetSystemCodeset() {
    static const std::string codeset = ChooseSystemCodeset();
    return codeset;
}

bool DecodeCodeset(const std::string& codeset, std::string_view bytes, std::wstring& out) {
    out.clear();
    CIconv converter("WCHAR_T", codeset.c_str());
    if (!converter.IsOpen()) {
        return false;
    }
    // iconv takes non-const pointers but never writes through the input one.
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    wchar_t buffer[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof(buffer);
        const size_t result = ::iconv(converter.Handle(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(reinterpret_cast<wchar_t*>(outPtr) - buffer));
        if (result != static_cast<size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // An invalid byte, or a character cut off at the end: U+FFFD for the byte, go on.
        out += kReplacementChar;
        ++in;
        --inLeft;
        ::iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

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

}  // namespace KestrelOs
