#pragma once
// Multibyte text to wide text, by Windows code page number. Any thread.

#include <string>

namespace kestrel::core {

constexpr unsigned kCodePageAnsi = 0;  // the system codeset (TRADEWIRE_CODESET, locale, UTF-8)
constexpr unsigned kCodePageUtf8 = 65001;

// Empties `out`, then converts the zero-terminated text. Empty text gives true. Invalid bytes
// become U+FFFD. False for a null text or a code page the system does not know; other code
// page numbers are looked up as "CP<number>".
bool MultiByteToWideString(unsigned codePage, const char* text, std::wstring& out);

}  // namespace kestrel::core
