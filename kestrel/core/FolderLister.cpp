#include "core/FolderLister.h"

#include <vector>

#include "core/PathText.h"
#include "platform/FileSystem.h"

namespace kestrel::core {

void CFolderLister::List(const std::wstring& path, bool recursive, unsigned flags,
                         bool clearFirst) {
    if (clearFirst) {
        m_items.clear();
    }
    m_stop = false;
    ListFolder(path, recursive, flags);
}

void CFolderLister::ListFolder(const std::wstring& path, bool recursive, unsigned flags) {
    if ((flags & (kFiles | kFolders)) == 0) {
        return;
    }
    // The prefix lives in a 260-character buffer; a path that does not fit is not listed
    // rather than listed under a cut name.
    if (path.size() > kMaxPathChars - 1) {
        return;
    }
    std::wstring prefix = path;
    if (prefix.size() < kMaxPathChars - 2) {
        AppendPathSeparator(prefix);
    }
    std::vector<kestrel::platform::FolderEntry> entries;
    if (!kestrel::platform::ReadFolder(prefix, entries)) {
        return;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && m_stop) {
            return;
        }
        std::wstring entryPath;
        if (!JoinBoundedPath(prefix, entries[i].name, entryPath)) {
            continue;
        }
        if (!entries[i].isFolder) {
            if (flags & kFiles) {
                m_items.push_back(entryPath);
            }
            continue;
        }
        if (flags & kFolders) {
            m_items.push_back(entryPath);
        }
        // A linked folder is listed but not entered: a link back up the tree would otherwise
        // repeat the tree until the paths no longer fit.
        if (recursive && !entries[i].isLink) {
            ListFolder(entryPath, recursive, flags);
        }
    }
}

}  // namespace kestrel::core
