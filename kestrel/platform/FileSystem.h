#pragma once
// Thin wrappers over the POSIX file and folder calls. Paths are wide; '\' and '/' both
// separate. Results are plain booleans (errno is left as the call set it); nothing throws.
// Safe on any thread, though the current folder is one per process.

#include <cstdio>
#include <string>
#include <vector>

namespace KestrelOs {

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
bool MakeWritable(const std::wstring& path);
// Drops every write permission ("read-only"); used by callers that set files up.
bool MakeReadOnly(const std::wstring& path);

// Copies source over target: the bytes go to a temporary file in the target's folder, which
// takes the source's permission bits and then replaces the target by rename(2). The target is
// thus either the old file or the whole new one, never a half-written mixture, and a program
// still running from the old file keeps its copy. On failure the temporary file is removed and
// the target is untouched.
bool CopyFileReplacing(const std::wstring& source, const std::wstring& target);

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

}  // namespace KestrelOs
