#pragma once
// Case folding for comparing names as Windows does. Safe on any thread.

namespace kestrel::platform {

// The lower-case form of a character by Unicode's simple case mapping, whatever the process's
// locale (so "Ä" and "ä" fold alike even under the C locale).
wchar_t FoldCase(wchar_t ch);

}  // namespace kestrel::platform
