#pragma once
// Conversions between the framework's wide strings and UTF-8, which both front-ends speak
// (GTK takes UTF-8; the console writes UTF-8 whatever the locale). Pure functions, any thread.
#include <string>
#include <string_view>

namespace kestrel::ui {

// Code points that cannot be encoded (surrogates, values above U+10FFFF) become U+FFFD.
std::string WideToUtf8(std::wstring_view text);

// Invalid or cut sequences become U+FFFD and decoding goes on.
std::wstring Utf8ToWide(std::string_view text);

}  // namespace kestrel::ui
