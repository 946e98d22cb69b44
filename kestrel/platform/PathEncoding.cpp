#include "platform/PathEncoding.h"

#include <cstdint>
#include <type_traits>

namespace KestrelOs {
namespace {

// Lone surrogates never come out of valid UTF-8, so they are free to carry raw bytes.
constexpr uint32_t kEscapeBase = 0xDC80;

bool IsEscapedByte(uint32_t ch) {
    return ch >= kEscapeBase && ch <= kEscapeBase + 0x7F;
}

void AppendUtf8(std::string& out, uint32_t ch) {
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at `pos` and its code point, or 0 when the bytes there do
// not form one (overlong forms, surrogates and values above U+10FFFF included).
size_t DecodeOne(std::string_view bytes, size_t pos, uint32_t& ch) {
    const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
    const uint8_t lead = byteAt(pos);
    size_t length = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        ch = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, ch = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, ch = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, ch = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > bytes.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        const uint8_t next = byteAt(pos + i);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        ch = (ch << 6) | (next & 0x3F);
    }
    if (ch < minimum || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

std::string ToSystemBytes(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (const wchar_t wch : wide) {
        // NOLINTNEXTLINE(bugprone-signed-char-misuse): wchar_t here, a 32-bit code point
        const uint32_t ch = static_cast<std::make_unsigned_t<wchar_t>>(wch);
        if (IsEscapedByte(ch)) {
            out += static_cast<char>(ch - kEscapeBase + 0x80);
        } else if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
            out += '?';  // no byte form exists; a name holding it cannot be found anyway
        } else {
            AppendUtf8(out, ch);
        }
    }
    return out;
}

std::wstring FromSystemBytes(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t pos = 0;
    while (pos < bytes.size()) {
        uint32_t ch = 0;
        const size_t length = DecodeOne(bytes, pos, ch);
        if (length == 0) {
            out += static_cast<wchar_t>(kEscapeBase + (static_cast<uint8_t>(bytes[pos]) - 0x80));
            ++pos;
            continue;
        }
        out += static_cast<wchar_t>(ch);
        pos += length;
    }
    return out;
}

std::string ToSystemPath(std::wstring_view path) {
    std::string bytes = ToSystemBytes(path);
    for (char& ch : bytes) {
        if (ch == '\\') {
            ch = '/';
        }
    }
    return bytes;
}

}  // namespace KestrelOs
