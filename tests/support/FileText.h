#pragma once
// A whole file as its bytes, for tests that check what was written: empty when the file cannot
// be read. Header-only; any thread.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
