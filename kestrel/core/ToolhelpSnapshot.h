#pragma once
// A point-in-time view of the running processes, or of one process's loaded files, standing
// in for the Windows tool-help snapshot. One object belongs to one thread.

#include <cstddef>
#include <string>
#include <vector>

namespace kestrel::core {

class CToolhelpSnapshot {
  public:
    enum EKind { kProcesses = 2, kModules = 8 };

    // kProcesses: every process (pid is ignored). kModules: the distinct files process `pid`
    // has loaded, its executable first. An unreadable source leaves the snapshot invalid.
    CToolhelpSnapshot(EKind kind, int pid);

    bool IsValid() const { return m_valid; }
    const std::vector<int>& Processes() const { return m_pids; }
    const std::vector<std::wstring>& Modules() const { return m_modules; }

  private:
    bool m_valid = false;
    std::vector<int> m_pids;
    std::vector<std::wstring> m_modules;
};

}  // namespace kestrel::core
