#include "core/ProcessModules.h"

#include <vector>

#include "core/PathText.h"
#include "core/ToolhelpSnapshot.h"
#include "platform/ProcessTable.h"

namespace kestrel::core {

namespace {

// The kernel reports the files a process has loaded with every link resolved, so the path
// asked for is resolved the same way. A file that no longer exists is resolved through its
// folder; when even that fails, the path is compared as given.
std::wstring ResolvedForm(const std::wstring& path) {
    std::wstring resolved;
    if (kestrel::platform::ResolvePath(path, resolved)) {
        return resolved;
    }
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator == 0) {
        return path;
    }
    std::wstring folder;
    if (!kestrel::platform::ResolvePath(path.substr(0, separator), folder)) {
        return path;
    }
    AppendPathSeparator(folder);
    return folder + path.substr(separator + 1);
}

// The looked-for file, as given and resolved. Resolving takes a system call per folder of the
// path, so it is done only once a file does not match the path as given: a wait whose
// remembered holder runs the file under its own spelling never resolves at all.
class CLookedForFile {
  public:
    explicit CLookedForFile(const std::wstring& path) : m_path(path) {}

    bool Matches(const std::wstring& file) {
        return EqualPathsNoCase(file, m_path) || EqualPathsNoCase(file, Resolved());
    }

    bool IsAmong(const std::vector<std::wstring>& files) {
        for (const std::wstring& file : files) {
            if (Matches(file)) {
                return true;
            }
        }
        return false;
    }

    bool IsExecutableOf(int pid) {
        std::wstring executable;
        return kestrel::platform::ReadProcessExecutable(pid, executable) && Matches(executable);
    }

    bool IsMappedBy(int pid) {
        const CToolhelpSnapshot modules(CToolhelpSnapshot::kModules, pid);
        return modules.IsValid() && IsAmong(modules.Modules());
    }

  private:
    const std::wstring& Resolved() {
        if (!m_isResolved) {
            m_resolved = ResolvedForm(m_path);
            m_isResolved = true;
        }
        return m_resolved;
    }

    const std::wstring& m_path;
    std::wstring m_resolved;
    bool m_isResolved = false;
};

// The remembered holder, checked alone. Its executable is one read; its mapped files are read
// only when the executable is readable (so the process still runs) and is another file.
bool StillHolds(CLookedForFile& file, int pid) {
    std::wstring executable;
    if (!kestrel::platform::ReadProcessExecutable(pid, executable)) {
        return false;
    }
    return file.Matches(executable) || file.IsMappedBy(pid);
}

// Every process but `skip` (0: none). `firstHolder` becomes the first process counted.
int ScanAll(CLookedForFile& file, int stopAfter, int skip, int& firstHolder) {
    firstHolder = 0;
    const CToolhelpSnapshot processes(CToolhelpSnapshot::kProcesses, 0);
    if (!processes.IsValid()) {
        return 0;
    }
    const std::vector<int>& pids = processes.Processes();
    const auto reached = [&](int count) { return stopAfter > 0 && count >= stopAfter; };
    int count = 0;
    const auto take = [&](int pid) {
        if (count == 0) {
            firstHolder = pid;
        }
        ++count;
    };

    // The kernel builds each maps file on demand, which makes it the bulk of a scan. A program
    // is almost always found as some process's executable, so those are checked first, and
    // the maps are read only when the executables alone have not reached stopAfter. Each
    // process still counts at most once.
    std::vector<bool> counted(pids.size(), false);
    for (size_t i = 0; i < pids.size() && !reached(count); ++i) {
        if (pids[i] != skip && file.IsExecutableOf(pids[i])) {
            counted[i] = true;
            take(pids[i]);
        }
    }
    for (size_t i = 0; i < pids.size() && !reached(count); ++i) {
        if (!counted[i] && pids[i] != skip && file.IsMappedBy(pids[i])) {
            take(pids[i]);
        }
    }
    return count;
}

}  // namespace

int CountProcessesWithModule(const std::wstring& path, int stopAfter) {
    int holder = 0;
    return CountProcessesWithModule(path, stopAfter, holder);
}

int CountProcessesWithModule(const std::wstring& path, int stopAfter, int& holder) {
    if (path.empty()) {
        holder = 0;
        return 0;
    }
    CLookedForFile file(path);
    // Only "is it loaded anywhere?" can be answered by one process. A remembered holder that
    // has ended, or whose number now belongs to another program, fails the check and leads to
    // the full scan: the wait never ends on its word alone.
    int checked = 0;
    if (holder > 0 && stopAfter == 1) {
        if (StillHolds(file, holder)) {
            return 1;
        }
        checked = holder;
    }
    return ScanAll(file, stopAfter, checked, holder);
}

}  // namespace kestrel::core
