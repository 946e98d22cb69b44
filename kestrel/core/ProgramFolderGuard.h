#pragma once
// Keeps every path that Kestrel builds from a cover-file list inside the program folder. The
// folder and each path are resolved as the system resolves them (".." and links followed, a
// junction counting as a link on Windows); a path that does not exist yet is resolved as far as
// it exists and taken as text from there. Kestrel then reads and writes through the resolved
// name, so what was checked is what gets changed; an entry of the list that is itself a link
// is deleted or replaced as the link, never through it (ResolveEntry). One object belongs to
// one call of the list application.

#include <string>

namespace kestrel::core {

// Where the path of a list entry lies.
enum class EEntryPlace {
    Inside,
    Outside,            // it leads outside the program folder, or cannot be resolved
    UnderLinkedFolder,  // a folder on its way is a link: the entry is not where it is written
};

class CProgramFolderGuard {
  public:
    // Resolves the program folder itself (it may sit behind a link); false when it cannot be.
    bool Open(const std::wstring& folder);

    // Resolves `path` into `resolved` when it is <folder>\<part> or lies below it (`part` is a
    // relative path such as "private\alice"; empty for the whole program folder). False, with
    // `resolved` untouched, for a path outside or one that cannot be resolved.
    bool Resolve(const std::wstring& path, std::wstring& resolved,
                 const std::wstring& part = std::wstring()) const;

    // True when <folder>\<part> is a real folder of its own name, not reached through a link.
    bool IsRealFolder(const std::wstring& part) const;

    // For the path <folder>\<relative> of a list entry: `target`, what the path leads to, as
    // Resolve gives it (what is read), and `entry`, the entry itself: its folders as written
    // and its last name as written, so a link there is unlinked or replaced, never followed.
    // Inside only when every folder on the way that exists is a real folder, none a link; a
    // path that names no file of its own (empty, or ending in a separator, "." or "..") has
    // its target as its entry. `entry` and `target` are set only for Inside.
    EEntryPlace ResolveEntry(const std::wstring& relative, std::wstring& entry,
                             std::wstring& target) const;

  private:
    std::wstring Bound(const std::wstring& part) const;
    // Walks `folders` from the program folder as the system would, into `walked` (relative,
    // '\' between names), checking each folder that exists on the way.
    EEntryPlace WalkRealFolders(const std::wstring& folders, std::wstring& walked) const;

    std::wstring m_real;  // the folder's resolved name
};

}  // namespace kestrel::core
