#pragma once
// Which processes have a given file loaded. Any thread.

#include <string>

// Counts the processes that have the file `path` loaded (as their executable or mapped
// otherwise), each process at most once; letter case is ignored and '\' equals '/'. A process
// started from a file that has since been replaced or deleted still counts under the file's
// original path. Processes whose files cannot be read add nothing. With stopAfter > 0 the scan
// ends as soon as the count reaches stopAfter (use 1 for "is it running?"). 0 when the process
// table cannot be read.
int CountProcessesWithModule(const std::wstring& path, int stopAfter = 0);
