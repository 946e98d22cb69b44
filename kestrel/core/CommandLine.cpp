#include "core/CommandLine.h"

#include <cwchar>

#include "core/PathText.h"
#include "platform/Spawn.h"

namespace kestrel::core {

namespace {

struct CToken {
    size_t begin = 0;
    size_t length = 0;
};

// Finds the token that starts at or after `pos`, and the position after its ending character.
// False at the end of the text, or when the text ends right after an opening quote.
bool NextToken(const wchar_t* text, size_t textLength, size_t& pos, CToken& token) {
    while (pos < textLength && text[pos] == L' ') {
        ++pos;
    }
    if (pos >= textLength) {
        return false;
    }
    wchar_t ending = L' ';
    if (text[pos] == L'"') {
        ending = L'"';
        ++pos;
        if (pos >= textLength) {
            return false;
        }
    }
    token.begin = pos;
    while (pos < textLength && text[pos] != ending) {
        ++pos;
    }
    token.length = pos - token.begin;
    if (pos < textLength) {
        ++pos;  // the ending character belongs to no token
    }
    return true;
}

}  // namespace

bool GetCommandLineArg(const wchar_t* commandLine, int index, wchar_t* output, size_t capacity) {
    if (commandLine == nullptr || output == nullptr || capacity == 0) {
        return false;
    }
    const size_t length = std::wcslen(commandLine);
    size_t pos = 0;
    CToken token;
    for (int number = 0; NextToken(commandLine, length, pos, token); ++number) {
        if (number != index) {
            continue;
        }
        const size_t count = token.length < capacity - 1 ? token.length : capacity - 1;
        std::wmemcpy(output, commandLine + token.begin, count);
        output[count] = L'\0';
        TrimSpaces(output);
        return true;
    }
    return false;
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine) {
    std::vector<std::wstring> tokens;
    size_t pos = 0;
    CToken token;
    while (NextToken(commandLine.c_str(), commandLine.size(), pos, token)) {
        tokens.push_back(commandLine.substr(token.begin, token.length));
    }
    return tokens;
}

std::wstring GetProcessCommandLine() {
    std::wstring line;
    bool first = true;
    for (const std::wstring& arg : kestrel::platform::GetOwnArguments()) {
        if (!first) {
            line += L' ';
        }
        first = false;
        // An empty argument is quoted too, so that it keeps its place among the tokens.
        if (arg.empty() || arg.find(L' ') != std::wstring::npos) {
            line += L'"' + arg + L'"';
        } else {
            line += arg;
        }
    }
    return line;
}

}  // namespace kestrel::core
