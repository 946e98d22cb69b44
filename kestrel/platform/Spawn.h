#pragma once
// Starting programs, and the process's own command line. Safe on any thread.

#include <string>
#include <vector>

namespace kestrel::platform {

// posix_spawn(3) of the program with the given arguments (argv[0] included), the caller's
// environment and the working folder. A relative program path is taken against the caller's
// current folder, as Windows does, not against the new working folder. Descriptors above
// standard error are not inherited. The child is not waited for; its id goes to *childPid
// when given. glibc reports a failed exec as a failed spawn, so false covers both.
bool SpawnProgram(const std::wstring& program, const std::vector<std::wstring>& args,
                  const std::wstring& workingFolder, int* childPid = nullptr);

// The process's own arguments from /proc/self/cmdline; empty when they cannot be read.
std::vector<std::wstring> GetOwnArguments();

}  // namespace kestrel::platform
