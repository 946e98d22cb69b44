#include "common/text/Utf8.h"

#include <type_traits>

namespace common::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEscapeBase = 0xDC80;  // U+DC80 carries byte 0x80, U+DCFF byte 0xFF

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

bool IsScalarValue(char32_t c) {
    return c <= 0x10FFFF && !IsSurrogate(c);
}

bool IsEscapedByte(char32_t c) {
    return c >= kEscapeBase && c <= kEscapeBase + 0x7F;
}

// The character at text[at], a surrogate pair joined where wchar_t has 16 bits; moves `at`
// past it.
char32_t NextCharacter(std::wstring_view text, size_t& at) {
    // Through the unsigned type: a negative 32-bit wchar_t is no character and must stay out
    // of range rather than wrap into it.
    char32_t c = static_cast<std::make_unsigned_t<wchar_t>>(text[at++]);
    if constexpr (sizeof(wchar_t) == 2) {
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && at < text.size() && text[at] >= 0xDC00 && text[at] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[at++]) - 0xDC00);
        }
    }
    return c;
}

// `c` must be a scalar value.
void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(c);
}

// Length of the sequence a lead byte announces, 0 for a byte that cannot start one.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    return (lead >= 0xF0 && lead <= 0xF4) ? 4 : 0;
}

// One sequence at bytes[at]: its length with the character in `c`, or 0 with the number of
// bytes that make up the invalid sequence in `invalid` (a lead and the continuation bytes
// that followed it, or the lone byte when the lead is stray or the text ends too soon).
size_t DecodeOne(std::string_view bytes, size_t at, char32_t& c, size_t& invalid) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const size_t length = SequenceLength(lead);
    invalid = 1;
    if (length == 0 || at + length > bytes.size()) {
        return 0;
    }
    c = length == 1 ? lead : (lead & (0xFF >> (length + 1)));
    size_t taken = 1;
    for (; taken < length; ++taken) {
        const auto next = static_cast<unsigned char>(bytes[at + taken]);
        if ((next & 0xC0) != 0x80) {
            break;
        }
        c = (c << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (taken < length || overlong || !IsScalarValue(c)) {
        invalid = taken;
        return 0;
    }
    return length;
}

// UTF-8 of `text`; `other(out, c)` writes what stands for a character with no UTF-8 form.
template <typename Other>
std::string Encode(std::wstring_view text, Other other) {
    std::string out;
    out.reserve(text.size());
    size_t at = 0;
    while (at < text.size()) {
        const char32_t c = NextCharacter(text, at);
        if (IsScalarValue(c)) {
            AppendUtf8(out, c);
        } else {
            other(out, c);
        }
    }
    return out;
}

// Wide text of `bytes`; `invalid(out, run)` writes what stands for each invalid sequence.
template <typename Invalid>
std::wstring Decode(std::string_view bytes, Invalid invalid) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t at = 0;
    while (at < bytes.size()) {
        char32_t c = 0;
        size_t run = 0;
        const size_t length = DecodeOne(bytes, at, c, run);
        if (length == 0) {
            invalid(out, bytes.substr(at, run));
            at += run;
            continue;
        }
        AppendWide(out, c);
        at += length;
    }
    return out;
}

}  // namespace

std::string WideToUtf8(std::wstring_view text, Unencodable unencodable) {
    return Encode(text, [unencodable](std::string& out, char32_t) {
        if (unencodable == Unencodable::Replace) {
            AppendUtf8(out, kReplacement);
        }
    });
}

std::wstring Utf8ToWide(std::string_view bytes) {
    return Decode(bytes,
                  [](std::wstring& out, std::string_view) { AppendWide(out, kReplacement); });
}

std::wstring BytesToEscapedWide(std::string_view bytes) {
    return Decode(bytes, [](std::wstring& out, std::string_view run) {
        // Bytes below 0x80 always decode, so every escaped byte is one of 0x80..0xFF.
        for (const char byte : run) {
            out += static_cast<wchar_t>(kEscapeBase + (static_cast<unsigned char>(byte) - 0x80));
        }
    });
}

std::string EscapedWideToBytes(std::wstring_view text) {
    return Encode(text, [](std::string& out, char32_t c) {
        // '?' where no byte form exists: a name holding it cannot be found anyway.
        out += IsEscapedByte(c) ? static_cast<char>(c - kEscapeBase + 0x80) : '?';
    });
}

}  // namespace common::text
