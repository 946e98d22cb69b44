#pragma once
// The library writes no log. The one exception is what the user asked for and cannot have:
// a capture that cannot be written is named on the process's standard error, so that asking
// for one never ends in silence. Any thread; one call writes one whole line.

#include <string_view>

namespace StandardError {

// Writes `line` and a line end to standard error at once, and flushes it.
void WriteLine(std::string_view line);

}  // namespace StandardError
