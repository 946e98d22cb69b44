#pragma once
// Multibyte text to wide text through iconv. Safe on any thread.

#include <string>
#include <string_view>

namespace KestrelOs {

// The codeset that stands in for the system ANSI code page, read once: TRADEWIRE_CODESET when
// set and not empty, else the codeset of LC_ALL, LC_CTYPE or LANG (the first that is set and
// not empty; the part after the dot, before any '@'), else UTF-8 (also for C and POSIX).
const std::string& GetSystemCodeset();

// Converts bytes of the named codeset to wide text; invalid or cut bytes become U+FFFD and
// the conversion goes on. False when iconv does not know the codeset.
bool DecodeCodeset(const std::string& codeset, std::string_view bytes, std::wstring& out);

// The lower-case form of a character by Unicode's simple case mapping, whatever the process's
// locale (so "Ä" and "ä" fold alike even under the C locale).
wchar_t FoldCase(wchar_t ch);

}  // namespace KestrelOs
