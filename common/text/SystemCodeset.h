#pragma once
// The codeset that stands in for the system ANSI code page. Safe on any thread.

#include <string>

namespace common::text {

// Read once, at the first call: TRADEWIRE_CODESET when set and not empty. Else, on POSIX, the
// codeset of LC_ALL, LC_CTYPE or LANG (the first that is set and not empty; the part after
// the dot, before any '@'), or UTF-8 when that names none (C, POSIX); on Windows the ANSI
// code page as "CP<number>".
const std::string& SystemCodeset();

}  // namespace common::text
