#include "core/ToolhelpSnapshot.h"

#include "platform/ProcessTable.h"

namespace kestrel::core {

CToolhelpSnapshot::CToolhelpSnapshot(EKind kind, int pid) {
    if (kind == kProcesses) {
        m_valid = kestrel::platform::ListProcessIds(m_pids);
        return;
    }
    m_valid = pid > 0 && kestrel::platform::ReadProcessModules(pid, m_modules);
}

}  // namespace kestrel::core
