#pragma once
// UTF-8 to and from wide text: UTF-32 where wchar_t has 32 bits, UTF-16 (surrogate pairs
// joined and made) where it has 16. Pure functions, safe on any thread.

#include <string>
#include <string_view>

namespace common::text {

// What becomes of a wide character that has no UTF-8 form: a lone surrogate, or a value
// above U+10FFFF.
enum class Unencodable {
    Replace,  // U+FFFD
    Skip,     // left out
};

std::string WideToUtf8(std::wstring_view text, Unencodable unencodable = Unencodable::Replace);

// An invalid sequence (a stray byte, an overlong form, an encoded surrogate, a value above
// U+10FFFF, a sequence cut short) becomes one U+FFFD and decoding goes on after it.
std::wstring Utf8ToWide(std::string_view bytes);

// The byte-preserving pair, for names that come from the system as bytes in no promised
// encoding. Every byte of an invalid sequence is carried as the lone surrogate U+DC80 + (byte
// - 0x80), which valid UTF-8 never yields, and written back as that same byte; so
// EscapedWideToBytes(BytesToEscapedWide(b)) == b for any b. Other characters with no UTF-8
// form become '?'.
std::wstring BytesToEscapedWide(std::string_view bytes);
std::string EscapedWideToBytes(std::wstring_view text);

}  // namespace common::text
