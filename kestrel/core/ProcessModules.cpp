#include "core/ProcessModules.h"

#include <vector>

#include "core/PathText.h"
#include "core/ToolhelpSnapshot.h"
#include "platform/ProcessTable.h"

namespace {

// The kernel reports the files a process has loaded with every link resolved, so the path
// asked for is resolved the same way. A file that no longer exists is resolved through its
// folder; when even that fails, the path is compared as given.
std::wstring ResolvedForm(const std::wstring& path) {
    std::wstring resolved;
    if (KestrelOs::ResolvePath(path, resolved)) {
        return resolved;
    }
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator == 0) {
        return path;
    }
    std::wstring folder;
    if (!KestrelOs::ResolvePath(path.substr(0, separator), folder)) {
        return path;
    }
    AppendPathSeparator(folder);
    return folder + path.substr(separator + 1);
}

bool HasModule(const std::vector<std::wstring>& modules, const std::wstring& asGiven,
               const std::wstring& resolved) {
    for (const std::wstring& module : modules) {
        if (EqualPathsNoCase(module, asGiven) || EqualPathsNoCase(module, resolved)) {
            return true;
        }
    }
    return false;
}

}  // namespace

int CountProcessesWithModule(const std::wstring& path, int stopAfter) {
    if (path.empty()) {
        return 0;
    }
    const CToolhelpSnapshot processes(CToolhelpSnapshot::kProcesses, 0);
    if (!processes.IsValid()) {
        return 0;
    }
    const std::wstring resolved = ResolvedForm(path);
    const std::vector<int>& pids = processes.Processes();
    const auto reached = [&](int count) { return stopAfter > 0 && count >= stopAfter; };

    // The kernel builds each maps file on demand, which makes it the bulk of a scan. A program
    // is almost always found as some process's executable, so those are checked first, and
    // the maps are read only when the executables alone have not reached stopAfter. Each
    // process still counts at most once.
    int count = 0;
    std::vector<bool> counted(pids.size(), false);
    std::wstring executable;
    for (size_t i = 0; i < pids.size() && !reached(count); ++i) {
        if (KestrelOs::ReadProcessExecutable(pids[i], executable) &&
            (EqualPathsNoCase(executable, path) || EqualPathsNoCase(executable, resolved))) {
            counted[i] = true;
            ++count;
        }
    }
    for (size_t i = 0; i < pids.size() && !reached(count); ++i) {
        if (counted[i]) {
            continue;
        }
        const CToolhelpSnapshot modules(CToolhelpSnapshot::kModules, pids[i]);
        if (modules.IsValid() && HasModule(modules.Modules(), path, resolved)) {
            ++count;
        }
    }
    return count;
}
