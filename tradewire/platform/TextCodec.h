#pragma once
// Conversion between the interface's wide text and the bytes of one codeset, standing in for
// the system ANSI code page. Characters the codeset cannot hold become '?'; invalid or cut
// input bytes become U+FFFD and the conversion goes on. Both directions stop at the first
// zero character, as the zero-terminated platform calls do. Safe to call from any thread.

#include <string>
#include <string_view>

#include "tradewire/CString.h"

class CTextCodec {
  public:
    // An unknown codeset name falls back to UTF-8.
    explicit CTextCodec(std::string codeset);

    const std::string& Codeset() const { return m_codeset; }
    // Whether ASCII text is the same bytes in this codeset (not so in UTF-16, for one).
    bool KeepsAsciiAsBytes() const { return m_asciiCompatible; }
    std::string ToBytes(std::wstring_view text) const;
    std::wstring ToWide(std::string_view bytes) const;

    // The codeset the library speaks on the wire, read once: TRADEWIRE_CODESET, else the
    // locale environment (LC_ALL, LC_CTYPE, LANG) or UTF-8; on Windows the ANSI code page.
    static const CTextCodec& System();

  private:
    std::string m_codeset;
    bool m_asciiCompatible = true;
};

// Wide text to and from the system codeset.
std::string WideToAnsi(const CString& text);
CString AnsiToWide(std::string_view bytes);
