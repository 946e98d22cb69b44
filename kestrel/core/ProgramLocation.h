#pragma once
// Where the running program lives. Any thread; SetCurrentDirToProgramFolder changes the
// process-wide current folder.

#include <cstddef>
#include <string>

namespace kestrel::core {

// Full path of the running executable; empty when it is longer than 259 characters.
std::wstring GetProgramPath();

// The program path cut after its last separator, so it ends in one; empty when the path has
// none. Copied with BoundedCopy.
void GetProgramFolder(wchar_t* buffer, size_t capacity);
std::wstring GetProgramFolder();

// Makes the program folder the current folder; true on success.
bool SetCurrentDirToProgramFolder();

}  // namespace kestrel::core
