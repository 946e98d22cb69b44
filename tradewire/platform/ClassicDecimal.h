#pragma once
// The C library's strtod in the "C" locale, so a terminal that switches its locale cannot
// change what "1.25" reads. One per system; safe to call from any thread.

#include <string_view>

// `digits` is a plain decimal number as DecimalPrefix cuts it; the result is the correctly
// rounded double, or an infinity when it lies beyond the double range.
double ClassicDecimal(std::string_view digits);

// The system half: strtod of a zero-terminated `text` in the "C" locale.
double ClassicStrtod(const char* text);
