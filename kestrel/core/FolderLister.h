#pragma once
// Collects the paths of a folder's entries. One object belongs to one thread.

#include <cstddef>
#include <deque>
#include <string>

namespace kestrel::core {

class CFolderLister {
  public:
    enum : unsigned { kFiles = 1, kFolders = 2 };

    // Appends prefix + name for each entry of `path` (prefix = the path with a separator
    // appended): files when kFiles is set, folders when kFolders is set. With `recursive`, a
    // folder's own contents follow it directly (depth first, in the order the system returns
    // entries). A folder that cannot be read adds nothing. Paths that would not fit 260
    // characters are not listed.
    void List(const std::wstring& path, bool recursive, unsigned flags, bool clearFirst);

    size_t GetCount() const { return m_items.size(); }
    // The path at `index`, zero-terminated; index must be below GetCount().
    const wchar_t* GetItem(size_t index) const { return m_items[index].c_str(); }

    // Ends the listing in progress before its next entry (checked after the first entry).
    void Stop() { m_stop = true; }

  private:
    void ListFolder(const std::wstring& path, bool recursive, unsigned flags);

    std::deque<std::wstring> m_items;
    bool m_stop = false;
};

}  // namespace kestrel::core
