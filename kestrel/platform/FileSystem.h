#pragma once
// Thin wrappers over the POSIX file and folder calls (win32/FileSystem.cpp: the Win32 ones).
// Paths are wide; '\' and '/' both separate. Results are plain booleans (errno is left as the
// call set it); nothing throws.
// Safe on any thread, though the current folder is one per process.

#include <cstdio>
#include <string>
#include <vector>

namespace kestrel::platform {

enum class PathKind { Missing, File, Folder };

// stat(2), following symbolic links; anything that is not a folder counts as a file.
PathKind GetPathKind(const std::wstring& path);
// access(2) with F_OK.
bool PathExists(const std::wstring& path);
// mkdir(2) with mode 0777 before the umask.
bool MakeFolder(const std::wstring& path);
// unlink(2): removes a file (or a link), never a folder.
bool RemoveFile(const std::wstring& path);
// Adds the owner's write permission ("attributes to normal"); false when the path is missing.
// Acts on the opened file (O_NOFOLLOW, fchmod): a link is refused, never followed.
bool MakeWritable(const std::wstring& path);
// Drops every write permission ("read-only"); used by callers that set files up. Refuses links
// the same way.
bool MakeReadOnly(const std::wstring& path);

// Copies source over target, read-only or not: the bytes go to "<target>.kestrel-copy" (a
// leftover of that name from a killed run is removed first, then the file is made anew with
// O_EXCL), which then replaces the target by rename(2). The target is thus either the old file
// or the whole new one, never a half-written mixture, and a program still running from the old
// file keeps its copy. A replaced target keeps the permission bits it had; a new one takes the
// source's. A source that is a link is not followed (the copy fails). On failure the temporary
// file is removed and the target is untouched.
bool CopyFileReplacing(const std::wstring& source, const std::wstring& target);
// The suffix of that temporary file. (On Windows CopyFileW writes the target in place; a
// replaced target keeps its attributes.)
extern const wchar_t kCopySuffix[];

// The real name of `path`: absolute, with ".", ".." and every link resolved. The longest part
// of the path that exists is resolved by the system (realpath(3); on Windows the final path of
// an opened handle, a junction counting as a link); the rest, which does not exist yet, is
// appended to it as written, its "." and ".." taken as text. False when the existing part
// cannot be resolved (a dangling or looping link, a name the system cannot look at) or when a
// resolved name holds a '\', which Kestrel would read as a separator.
bool ResolveRealName(const std::wstring& path, std::wstring& resolved);

// True when `path` is `folder` or lies below it; both are resolved names (see ResolveRealName).
// Names compare as this system's file names do: byte for byte (ignoring case on Windows).
bool IsInsideFolder(const std::wstring& folder, const std::wstring& path);

// True when both paths name one existing file on disk, however spelled: same device and inode
// (on Windows, same volume serial number and file index).
bool IsSameFile(const std::wstring& first, const std::wstring& second);

// fopen(3) in binary read mode; null for a folder. The caller closes the stream with fclose.
std::FILE* OpenForReading(const std::wstring& path);

// getcwd(3) / chdir(2).
std::wstring GetCurrentFolder();
bool SetCurrentFolder(const std::wstring& path);

// readlink(2) on /proc/self/exe: the running executable, as the kernel resolved it.
std::wstring GetExecutablePath();

// One entry of a folder, as readdir(3) returns it (without "." and "..").
struct FolderEntry {
    std::wstring name;
    bool isFolder = false;  // a link counts as what it points to
    bool isLink = false;
};

// Reads every entry of a folder in the order the system returns them; false when the folder
// cannot be opened.
bool ReadFolder(const std::wstring& path, std::vector<FolderEntry>& entries);

}  // namespace kestrel::platform
