#pragma once
// Reading a field back from a line the callback printer wrote ("OnX Name=value Name=value").
// Pure; any thread.

#include <string>
#include <string_view>

// The value of " NAME=" in `line`, up to the next space; empty when absent.
inline std::string_view FieldValue(std::string_view line, std::string_view name) {
    const std::string key = " " + std::string(name) + "=";
    const size_t at = line.find(key);
    if (at == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = line.substr(at + key.size());
    return rest.substr(0, rest.find(' '));
}
