#pragma once
// Wide paths and arguments meet the operating system as bytes. Kestrel's wide strings are the
// UTF-8 reading of those bytes; a byte that is not part of valid UTF-8 is carried as the lone
// surrogate U+DC80 + byte and written back as that same byte, so a name read from the system
// always reaches the system again unchanged (common_text's byte-preserving UTF-8, not its
// strict one, which would turn such bytes into U+FFFD and lose the name). Pure functions, safe
// on any thread.

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

std::string ToSystemBytes(std::wstring_view wide);
std::wstring FromSystemBytes(std::string_view bytes);

// The form handed to a system call: UTF-8 bytes with every '\' turned into '/', since both
// separate path components in Kestrel's paths.
std::string ToSystemPath(std::wstring_view path);

// The names between the slashes of a system path, empty ones (from "//", a leading or a
// trailing '/') left out: "/a//b/" gives {"a", "b"}.
std::vector<std::string> SplitSystemPath(const std::string& path);

}  // namespace kestrel::platform
