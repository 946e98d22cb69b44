#pragma once
// Wide text to and from the bytes of a named codeset, through the system's converter: iconv
// names ("GBK", "ISO-8859-1", "UTF-8"), and on Windows the code pages behind the common names
// or "CP<number>" ("CP0" and "" being the ANSI code page). The whole input is converted,
// zero characters included. Safe on any thread.

#include <string>
#include <string_view>

namespace common::text {

// Whether the system can convert the named codeset.
bool IsKnownCodeset(const std::string& codeset);

// Replaces `out` with the wide text of `bytes`; an invalid byte, or a character cut off at
// the end, becomes U+FFFD and the conversion goes on. False (and `out` empty) when the codeset
// is unknown.
bool DecodeCodeset(const std::string& codeset, std::string_view bytes, std::wstring& out);

// Replaces `out` with the bytes of `text`; a character the codeset cannot hold becomes '?',
// never a look-alike. False (and `out` empty) when the codeset is unknown or the system fails.
bool EncodeCodeset(const std::string& codeset, std::wstring_view text, std::string& out);

}  // namespace common::text
