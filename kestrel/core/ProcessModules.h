#pragma once
// Which processes have a given file loaded. Any thread.

#include <string>

namespace kestrel::core {

// Counts the processes that have the file `path` loaded (as their executable or mapped
// otherwise), each process at most once; letter case is ignored and '\' equals '/'. A process
// started from a file that has since been replaced or deleted still counts under the file's
// original path. Processes whose files cannot be read add nothing. With stopAfter > 0 the scan
// ends as soon as the count reaches stopAfter (use 1 for "is it running?"). 0 when the process
// table cannot be read.
int CountProcessesWithModule(const std::wstring& path, int stopAfter = 0);

// The same count for a caller that asks about one file over and over (a wait), remembering
// between calls which process had it. `holder` is that process (0: none known); the caller
// keeps it between calls for the same path and never sets it otherwise.
//
// With stopAfter 1, `holder` is checked before anything else: when it still has the file
// loaded the answer is 1 at once, without a scan; when it has ended or no longer has the file,
// every process is scanned as above. Other stopAfter values always scan. So the answer is 0
// only when a full scan found nobody. On return `holder` is a process that has the file loaded
// (the remembered one when it still does, else the first one the scan found), 0 when none.
int CountProcessesWithModule(const std::wstring& path, int stopAfter, int& holder);

}  // namespace kestrel::core
