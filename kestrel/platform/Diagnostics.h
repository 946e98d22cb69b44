#pragma once
// One line for whoever supports the user, on standard error as UTF-8, whatever the locale (the
// console front-end writes there too). Kestrel's user-facing texts go through its message
// boxes, never here. Any thread; each line is written and flushed whole.

#include <string>

namespace kestrel::platform {

void WriteDiagnosticLine(const std::wstring& line);

}  // namespace kestrel::platform
