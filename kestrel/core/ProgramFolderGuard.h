#pragma once
// Keeps every path that Kestrel builds from a cover-file list inside the program folder. The
// folder and each path are resolved as the system resolves them (".." and links followed, a
// junction counting as a link on Windows); a path that does not exist yet is resolved as far as
// it exists and taken as text from there. Kestrel then works on the resolved name, so what was
// checked is what gets changed. One object belongs to one call of the list application.

#include <string>

namespace kestrel::core {

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

  private:
    std::wstring Bound(const std::wstring& part) const;

    std::wstring m_real;  // the folder's resolved name
};

}  // namespace kestrel::core
