#pragma once
// One line of a capture file, the log a connection keeps when TRADEWIRE_CAPTURE_DIR is set.
// Header-only and free of the system, so the library that writes captures, the replay tool and
// the simulator that serves them read the same format.
//
// The file is text, one record a line, each ending in a line feed:
//   TWCAP 2 <key=value ...>            the first line: format version and the session's facts
//   <ms> <kind> <payload>              every other line
// <ms> counts milliseconds from the opening of the capture. The kinds:
//   recv    bytes appended to the receive buffer, exactly as appended (escaped, see below)
//   send    one frame as written, without its line end (a login's password shows as ***)
//   dispatch <code>: a message handed to its handler, as it begins; <code> its message code
//           in decimal (no record for a line only joined to the next)
//   commit  an order passed to CommitBill: after=<messages taken from the buffer before it,
//           the one being dispatched included>, then the order's fields as name=value (see
//           protocol/CaptureRecords.h)
//   dropped <count>: records the writer could not keep up with and left out here
//   limit   <bytes>: the size limit was reached; nothing follows
//   close   dispatched=<messages> unread=<bytes>: the connection ended with that many
//           messages taken from the buffer and that many received bytes left in it
// Version 1 files are the same without dispatch records; readers take both.
// Byte payloads keep printable ASCII as it is and write every other byte, and the backslash,
// as \xNN (two upper-case hex digits), so a record never spans lines.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "vocabulary/HexDigit.h"

namespace capture {

inline constexpr std::string_view kMagic = "TWCAP 2";
inline constexpr std::string_view kMagicVersion1 = "TWCAP 1";
inline constexpr std::string_view kReceived = "recv";
inline constexpr std::string_view kSent = "send";
inline constexpr std::string_view kDispatched = "dispatch";
inline constexpr std::string_view kCommitted = "commit";
inline constexpr std::string_view kDropped = "dropped";
inline constexpr std::string_view kLimit = "limit";
inline constexpr std::string_view kClosed = "close";

// True for the first line of a capture of either version: the magic, then a space or nothing.
inline bool IsHeader(std::string_view line) {
    for (const std::string_view magic : {kMagic, kMagicVersion1}) {
        if (line.substr(0, magic.size()) == magic &&
            (line.size() == magic.size() || line[magic.size()] == ' ')) {
            return true;
        }
    }
    return false;
}

inline void AppendEscaped(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += ch;
            continue;
        }
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
}

// The bytes AppendEscaped wrote; false on a backslash not followed by x and two hex digits.
inline bool Unescape(std::string_view text, std::string& bytes) {
    bytes.clear();
    bytes.reserve(text.size());
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\\') {
            bytes += text[at];
            continue;
        }
        if (at + 3 >= text.size()) {
            return false;
        }
        const int high = text[at + 1] == 'x' ? HexDigit(text[at + 2]) : -1;
        const int low = high < 0 ? -1 : HexDigit(text[at + 3]);
        if (low < 0) {
            return false;
        }
        bytes += static_cast<char>(high * 16 + low);
        at += 3;
    }
    return true;
}

// A record line cut into its parts; the views point into the line.
struct Line {
    std::uint32_t ms = 0;
    std::string_view kind;
    std::string_view payload;
};

// Cuts "<ms> <kind> <payload>"; false for a line of another shape (the header among them).
inline bool SplitLine(std::string_view text, Line& line) {
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    size_t at = 0;
    std::uint64_t ms = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && ms <= 0xFFFFFFFFu) {
        ms = ms * 10 + static_cast<std::uint64_t>(text[at] - '0');
        ++at;
    }
    if (at == 0 || ms > 0xFFFFFFFFu || at >= text.size() || text[at] != ' ') {
        return false;
    }
    const size_t kindEnd = text.find(' ', at + 1);
    line.ms = static_cast<std::uint32_t>(ms);
    line.kind = text.substr(at + 1, kindEnd == std::string_view::npos ? kindEnd : kindEnd - at - 1);
    line.payload =
        kindEnd == std::string_view::npos ? std::string_view() : text.substr(kindEnd + 1);
    return !line.kind.empty();
}

// "<ms> <kind> " ready for its payload.
inline std::string StartLine(std::uint32_t ms, std::string_view kind, size_t payloadSize) {
    std::string out;
    out.reserve(16 + kind.size() + payloadSize);
    out += std::to_string(ms);
    out += ' ';
    out += kind;
    out += ' ';
    return out;
}

}  // namespace capture
