#pragma once
// Command lines as Windows spells them: tokens separated by spaces; a token that begins with a
// double quote runs to the next double quote, without the quotes. Any thread.

#include <cstddef>
#include <string>
#include <vector>

namespace kestrel::core {

// Copies token `index` (0 is the program path) into `output`, at most capacity - 1 characters,
// then trims its spaces. False for a null command line, a missing token, or a token that is
// only an opening quote at the end of the text.
bool GetCommandLineArg(const wchar_t* commandLine, int index, wchar_t* output, size_t capacity);

// Every token of a command line, in order, by the same rules (untrimmed and uncut).
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

// The process's own command line rebuilt from its arguments, each argument that holds a space
// in double quotes (the counterpart of GetCommandLineW).
std::wstring GetProcessCommandLine();

}  // namespace kestrel::core
