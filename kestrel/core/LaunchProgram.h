#pragma once
// Starting another program without waiting for it. Any thread.

#include <string>

namespace kestrel::core {

// The longest command line the launcher builds, terminator included.
constexpr size_t kMaxCommandLineChars = 780;

// Builds the command line "\"<application>\" <tail>", cuts it into arguments with
// SplitCommandLine and starts the application with the folder of its path as working folder
// (the current folder when the path has none). False when the command line would not fit 780
// characters (it is never cut) or the program could not be started. The child's id goes to
// *childPid when given; nobody waits for it.
bool LaunchProgram(const std::wstring& application, const std::wstring& tail,
                   int* childPid = nullptr);

}  // namespace kestrel::core
