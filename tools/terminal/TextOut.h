#pragma once
// Console output of the terminal. Lines come from the caller's thread and from the library's
// processing thread, so every line goes out whole under one lock.

#include <tradewire/Tradewire.h>

#include <string>

namespace term {

// UTF-8 of a library text, with control characters (the wire's separators travel inside
// notice texts) left out.
std::string Utf8(const CString& text);
std::string Utf8(const wchar_t* text);
CString Wide(const std::string& ascii);

// Writes a line (or several) to standard output at once; any thread.
void PrintLine(const std::string& text);
// The connecting progress line: rewritten in place until PrintLine ends it.
void PrintProgress(const std::string& text);

std::string FormatPrice(double price, int digits);
// A stop loss or take profit: "-" when there is none (0).
std::string FormatTrigger(double price, int digits);
std::string FormatMoney(double amount);
std::string FormatLots(double lots);

}  // namespace term
