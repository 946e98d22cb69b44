#include "common/text/CodesetConversion.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace common::text {
namespace {

constexpr wchar_t kReplacementChar = 0xFFFD;

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

// iconv's buffers are non-const char pointers; the input is never written through them.
char* InputPointer(const void* data) {
    return const_cast<char*>(static_cast<const char*>(data));
}

}  // namespace

bool IsKnownCodeset(const std::string& codeset) {
    return CIconv(codeset.c_str(), "WCHAR_T").IsOpen();
}

bool DecodeCodeset(const std::string& codeset, std::string_view bytes, std::wstring& out) {
    out.clear();
    CIconv converter("WCHAR_T", codeset.c_str());
    if (!converter.IsOpen()) {
        return false;
    }
    char* in = InputPointer(bytes.data());
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

bool EncodeCodeset(const std::string& codeset, std::wstring_view text, std::string& out) {
    out.clear();
    CIconv converter(codeset.c_str(), "WCHAR_T");
    if (!converter.IsOpen()) {
        return false;
    }
    char* in = InputPointer(text.data());
    size_t inLeft = text.size() * sizeof(wchar_t);
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        const size_t result = ::iconv(converter.Handle(), &in, &inLeft, &outPtr, &outLeft);
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
    ::iconv(converter.Handle(), nullptr, nullptr, &outPtr, &outLeft);  // close any shift state
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    return true;
}

}  // namespace common::text
