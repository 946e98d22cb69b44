#include "core/ProgramFolderGuard.h"

#include "core/PathText.h"
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

EEntryPlace CProgramFolderGuard::ResolveEntry(const std::wstring& relative, std::wstring& entry,
                                              std::wstring& target) const {
    std::wstring resolved;
    if (!Resolve(m_real + L"\\" + relative, resolved)) {
        return EEntryPlace::Outside;
    }
    size_t nameStart = relative.size();
    while (nameStart > 0 && !IsPathSeparator(relative[nameStart - 1])) {
        --nameStart;
    }
    const std::wstring name = relative.substr(nameStart);
    std::wstring walked;
    if (name.empty() || name == L"." || name == L"..") {
        entry = resolved;
    } else {
        const EEntryPlace place = WalkRealFolders(relative.substr(0, nameStart), walked);
        if (place != EEntryPlace::Inside) {
            return place;
        }
        entry = Bound(walked) + L"\\" + name;
    }
    target = resolved;
    return EEntryPlace::Inside;
}

EEntryPlace CProgramFolderGuard::WalkRealFolders(const std::wstring& folders,
                                                 std::wstring& walked) const {
    walked.clear();
    // Below a folder that does not exist yet nothing exists either: no link can be there.
    bool checking = true;
    for (const std::wstring& name : PathParts(folders)) {
        if (name == L"..") {
            // Each folder left this way was checked to be real, so the system leaves it for the
            // same parent.
            if (walked.empty()) {
                return EEntryPlace::Outside;
            }
            const size_t cut = walked.rfind(L'\\');
            walked = cut == std::wstring::npos ? std::wstring() : walked.substr(0, cut);
            continue;
        }
        walked = walked.empty() ? name : walked + L"\\" + name;
        if (!checking) {
            continue;
        }
        const auto kind = kestrel::platform::GetPathKind(Bound(walked));
        checking = kind == kestrel::platform::PathKind::Folder;
        if (checking && !IsRealFolder(walked)) {
            return EEntryPlace::UnderLinkedFolder;
        }
    }
    return EEntryPlace::Inside;
}

}  // namespace kestrel::core
