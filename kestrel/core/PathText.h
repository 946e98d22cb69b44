#pragma once
// Text operations on paths and fixed-size wide buffers. Both '\' and '/' separate path
// components; a buffer's capacity counts its terminator. Pure functions, any thread.

#include <cstddef>
#include <string>
#include <vector>

namespace kestrel::core {

// Paths are at most 259 characters: a path buffer holds 260, terminator included.
constexpr size_t kMaxPathChars = 260;

bool IsPathSeparator(wchar_t ch);

// The components of `path` in order, leaving out the empty ones and ".". ".." is kept: what it
// means is the caller's business.
std::vector<std::wstring> PathParts(const std::wstring& path);

// Appends '\' when the text is shorter than capacity - 2 and does not already end in a
// separator. Callers pass non-empty text; an empty buffer is left alone.
void AppendPathSeparator(wchar_t* buffer, size_t capacity);
// The same test without a capacity; an empty string stays empty.
void AppendPathSeparator(std::wstring& path);

// Copies up to and including the terminator, at most capacity characters; when the source
// does not fit, the last cell becomes the terminator (for a capacity above 1). False when
// either pointer is null.
bool BoundedCopy(wchar_t* dest, size_t capacity, const wchar_t* source);

// Splits a path into folder (before the last '\', or the last '/' when there is no '\'), base
// name and extension (after the last '.' of the name). Each output is written only when given,
// the folder only when the path has a separator. The path is read up to 511 characters.
void SplitPath(const wchar_t* path, wchar_t* folder, size_t folderCapacity, wchar_t* baseName,
               size_t baseNameCapacity, wchar_t* extension, size_t extensionCapacity);

// Replaces every `from` by `to`.
void ReplaceChar(std::wstring& text, wchar_t from, wchar_t to);
void ReplaceChar(wchar_t* text, wchar_t from, wchar_t to);

// Removes trailing, then leading U+0020 spaces in place; returns the buffer.
wchar_t* TrimSpaces(wchar_t* buffer);
std::wstring& TrimSpaces(std::wstring& text);

// Joins two texts as a 260-character buffer would hold them: false, with `out` untouched,
// when the result would need more than 259 characters. Kestrel never cuts a joined path.
bool JoinBoundedPath(const std::wstring& first, const std::wstring& second, std::wstring& out);

// True when `path` begins with `prefix`, ignoring letter case and treating '\' and '/' alike.
bool StartsWithPathNoCase(const std::wstring& path, const std::wstring& prefix);
// Whole-path equality under the same rules.
bool EqualPathsNoCase(const std::wstring& a, const std::wstring& b);

// Makes `text` a single folder name that both systems take as written: path separators, ':',
// the characters Windows forbids in names (<>"|?*), control characters, and trailing dots and
// spaces each become '_' (so "." and ".." become "_" and "__"); a name Windows keeps for a device
// (CON, NUL, COM1 and the like, with or without an extension) gets a '_' appended. Empty stays
// empty.
std::wstring ToSingleFolderName(std::wstring text);

// A relative path with its "." and ".." taken as text, empty components dropped and '\' as the
// separator: "a/./b\\..\\c" gives "a\\c". False when it climbs above where it starts or names
// nothing at all.
bool NormalizeRelativePath(const std::wstring& path, std::wstring& normalized);

}  // namespace kestrel::core
