#pragma once
// File primitives that tolerate read-only files. Paths are wide, relative ones taken against
// the current folder; '\' and '/' both separate. Any thread.

#include <cstdio>
#include <string>

namespace kestrel::core {

// Creates every folder along the path except its last component. True when the path already
// exists or every missing folder could be created; a failed folder does not stop the others.
bool MakeDirsForPath(const std::wstring& path);

// Copies the source over the target, read-only or not, replacing it in one step: a replaced
// target keeps the permission bits (on Windows, the attributes) it had before, a new one takes
// the source's. Links at either end are not followed. True only when the whole copy is in place.
bool CopyFileOver(const std::wstring& source, const std::wstring& target);

// Makes the file writable and deletes it; true when it was deleted.
bool DeleteFileForced(const std::wstring& path);

// True when the path exists and is not a folder.
bool IsExistingFile(const std::wstring& path);

// True when both paths name one file on disk, however they are spelled.
bool NameTheSameFile(const std::wstring& first, const std::wstring& second);

// True when both files can be read and hold the same bytes.
bool HaveSameContents(const std::wstring& first, const std::wstring& second);

// Size of an open stream, keeping its position; 0 for a null stream.
long GetFileSize(std::FILE* stream);

// Reads a whole file into a new buffer of size + 4 bytes whose last 4 bytes are zero, so the
// data is terminated as 8-bit and as 16-bit text. The size goes to `size` once known. Null for
// a missing, unreadable or empty file. The caller frees the buffer with delete[].
char* ReadWholeFile(const std::wstring& path, long& size);

}  // namespace kestrel::core
