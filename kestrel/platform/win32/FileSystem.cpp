#include "platform/FileSystem.h"

#include <windows.h>

#include <io.h>
#include <wchar.h>

namespace KestrelOs {

namespace {

DWORD AttributesOf(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str());
}

}  // namespace

PathKind GetPathKind(const std::wstring& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

bool PathExists(const std::wstring& path) {
    return ::_waccess(path.c_str(), 0) == 0;
}

bool MakeFolder(const std::wstring& path) {
    return ::_wmkdir(path.c_str()) == 0;
}

bool RemoveFile(const std::wstring& path) {
    return ::_wunlink(path.c_str()) == 0;
}

bool MakeWritable(const std::wstring& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    // A folder keeps its folder bit; a file becomes plain "normal".
    const DWORD normal = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                             ? (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))
                             : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileAttributesW(path.c_str(), normal) != 0;
}

bool MakeReadOnly(const std::wstring& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return ::SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY) != 0;
}

bool CopyFileReplacing(const std::wstring& source, const std::wstring& target) {
    // CopyFileW writes the target in place; a program still running from the target holds it
    // open without sharing and the copy fails, which the cover-file list reports and retries.
    if (GetPathKind(source) != PathKind::File) {
        return false;
    }
    return ::CopyFileW(source.c_str(), target.c_str(), FALSE) != 0;
}

std::FILE* OpenForReading(const std::wstring& path) {
    return ::_wfopen(path.c_str(), L"rbN");
}

std::wstring GetCurrentFolder() {
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    if (length == 0) {
        return std::wstring();
    }
    std::wstring folder(length, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(length, folder.data());
    folder.resize(written < length ? written : 0);
    return folder;
}

bool SetCurrentFolder(const std::wstring& path) {
    return ::SetCurrentDirectoryW(path.c_str()) != 0;
}

std::wstring GetExecutablePath() {
    // Long paths need more than MAX_PATH; the buffer grows until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool ReadFolder(const std::wstring& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::wstring pattern = path;
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        // An empty folder still lists "." and ".."; failing here means no folder to read.
        return false;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        FolderEntry entry;
        entry.name = name;
        entry.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(search, &found) != 0);
    ::FindClose(search);
    return true;
}

}  // namespace KestrelOs
