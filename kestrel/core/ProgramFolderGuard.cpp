#include "core/ProgramFolderGuard.h"

#include "platform/FileSystem.h"

namespace kestrel::core {

bool CProgramFolderGuard::Open(const std::wstring& folder) {
    std::wstring real;
    if (folder.empty() || !kestrel::platform::ResolveRealName(folder, real)) {
        return false;
    }
    m_real = real;
    return true;
}

std::wstring CProgramFolderGuard::Bound(const std::wstring& part) const {
    return part.empty() ? m_real : m_real + L"\\" + part;
}

bool CProgramFolderGuard::Resolve(const std::wstring& path, std::wstring& resolved,
                                  const std::wstring& part) const {
    std::wstring real;
    if (m_real.empty() || !kestrel::platform::ResolveRealName(path, real) ||
        !kestrel::platform::IsInsideFolder(Bound(part), real)) {
        return false;
    }
    resolved = real;
    return true;
}

bool CProgramFolderGuard::IsRealFolder(const std::wstring& part) const {
    const std::wstring bound = Bound(part);
    std::wstring real;
    // A folder reached through a link resolves to the link's target, never to its own name.
    return !m_real.empty() && kestrel::platform::ResolveRealName(bound, real) &&
           kestrel::platform::GetPathKind(real) == kestrel::platform::PathKind::Folder &&
           kestrel::platform::IsInsideFolder(bound, real) &&
           kestrel::platform::IsInsideFolder(real, bound);
}

}  // namespace kestrel::core
