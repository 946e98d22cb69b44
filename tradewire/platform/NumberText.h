#pragma once
// The readers of every number the server sends, on a byte range that need not be
// zero-terminated. Like the C library's atoi and atof they skip leading white space and read
// the longest number that follows (0 when there is none), but the same text reads the same on
// every system and in every locale, and no reading is out of range:
//  - integers saturate at INT_MIN and INT_MAX;
//  - floating numbers are read only in their plain decimal form (sign, digits, an optional
//    '.', digits, an optional exponent with at least one digit), so "0x10" reads as 0 and
//    "nan(1)" or "inf" as 0; what would be an infinity or NaN reads as 0;
//  - a float field reads as 0 beyond FLT_MAX, where narrowing would be undefined.
// Safe to call from any thread.

#include <string_view>

int ParseAtoi(std::string_view text);
double ParseAtof(std::string_view text);
float ParseFloat(std::string_view text);

// The plain decimal number at the front of `text` after its white space, sign included; empty
// when the text does not start with one.
std::string_view DecimalPrefix(std::string_view text);
