#pragma once
// The process table as /proc shows it: the processes running now and the files each has
// mapped. Reading another process's entries needs the rights to inspect it; a process whose
// entries cannot be read is reported as such, never guessed at. Safe on any thread.

#include <string>
#include <vector>

namespace kestrel::platform {

// Identifiers of every process in /proc (threads are not listed); false when /proc cannot be
// read.
bool ListProcessIds(std::vector<int>& pids);

// The distinct files a process has loaded: its executable (/proc/<pid>/exe) first, then the
// files of /proc/<pid>/maps in order of first appearance. A file that was deleted or replaced
// since it was mapped keeps the path it was started from (the kernel's " (deleted)" suffix is
// removed). False, with the list empty, when the maps cannot be read (the process ended, or
// belongs to someone we may not inspect).
bool ReadProcessModules(int pid, std::vector<std::wstring>& modules);

// The executable alone (/proc/<pid>/exe, " (deleted)" removed): one readlink, far cheaper than
// the maps. False when it cannot be read (kernel threads have none) and for a process that has
// ended (a zombie has no executable): a true answer means the process runs now.
bool ReadProcessExecutable(int pid, std::wstring& path);

// realpath(3): the path with every link and "." / ".." resolved; false when it does not exist.
bool ResolvePath(const std::wstring& path, std::wstring& resolved);

}  // namespace kestrel::platform
