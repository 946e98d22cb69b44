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
    int count = 0;
    for (const int pid : processes.Processes()) {
        const CToolhelpSnapshot modules(CToolhelpSnapshot::kModules, pid);
        if (!modules.IsValid() || !HasModule(modules.Modules(), path, resolved)) {
            continue;
        }
        ++count;
        if (stopAfter > 0 && count >= stopAfter) {
            break;
        }
    }
    return count;
}
