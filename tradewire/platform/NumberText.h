#pragma once
// The C library's atoi / atol / atof on a byte range that need not be zero-terminated, always
// in the "C" locale, so a terminal that switches its locale cannot change what "1.25" reads.
// Leading white space, a sign, then the longest number; 0 when there is none.

#include <string_view>

int ParseAtoi(std::string_view text);
long ParseAtol(std::string_view text);
double ParseAtof(std::string_view text);
