#pragma once
// Between the interface's CString and the standard library's wide strings, for the library's
// own code and for its tests and tools. The interface itself stays free of the standard
// library, so these conversions live here rather than as CString members. Pure functions,
// safe on any thread.

#include <string>
#include <string_view>

#include "tradewire/CString.h"

// Every character, zeros inside the text included. Valid while the CString is unchanged.
inline std::wstring_view WideView(const CString& text) {
    return std::wstring_view(text.GetString(), static_cast<size_t>(text.GetLength()));
}

inline std::wstring ToStdWString(const CString& text) {
    return std::wstring(WideView(text));
}

inline CString ToCString(std::wstring_view text) {
    return CString(text.data(), static_cast<int>(text.size()));
}
