#include "platform/FileSystem.h"

#include <windows.h>

#include <io.h>
#include <wchar.h>

#include "platform/CaseFold.h"

namespace kestrel::platform {

const wchar_t kCopySuffix[] = L".kestrel-copy";

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class CHandle {
  public:
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    ~CHandle() {
        if (IsOpen()) {
            ::CloseHandle(m_handle);
        }
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

  private:
    HANDLE m_handle;
};

DWORD AttributesOf(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str());
}

// A handle for looking at a file or folder (and, with `access`, changing its attributes).
// Followed, a link or junction opens what it names; not followed, it opens the link itself.
HANDLE OpenForLooking(const std::wstring& path, bool followLinks, DWORD access = 0) {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | access, kShareAll, nullptr,
                         OPEN_EXISTING, flags, nullptr);
}

// Sets the attributes on the opened file itself; a link or junction is refused, so a change
// meant for a file in the program folder never lands on what a link names.
bool ChangeAttributes(const std::wstring& path, DWORD add, DWORD remove) {
    const CHandle file(OpenForLooking(path, false, FILE_WRITE_ATTRIBUTES));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.IsOpen() || ::GetFileInformationByHandle(file.Get(), &info) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    DWORD attributes = (info.dwFileAttributes | add) & ~remove;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && attributes == 0) {
        attributes = FILE_ATTRIBUTE_NORMAL;
    }
    FILE_BASIC_INFO basic{};  // zero times: left as they are
    basic.FileAttributes = attributes;
    return ::SetFileInformationByHandle(file.Get(), FileBasicInfo, &basic, sizeof(basic)) != 0;
}

std::wstring FullPathName(const std::wstring& path) {
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        return std::wstring();
    }
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    full.resize(written < length ? written : 0);
    return full;
}

// The name the system resolved the handle to, links and junctions followed, in DOS form.
std::wstring FinalPathOf(HANDLE handle) {
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    const DWORD length = ::GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
    if (length == 0) {
        return std::wstring();
    }
    std::wstring name(length, L'\0');
    const DWORD written = ::GetFinalPathNameByHandleW(handle, name.data(), length, flags);
    if (written == 0 || written >= length) {
        return std::wstring();
    }
    name.resize(written);
    if (name.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        return L"\\" + name.substr(7);
    }
    if (name.compare(0, 4, L"\\\\?\\") == 0) {
        return name.substr(4);
    }
    return name;
}

bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME;
}

bool IsSeparator(wchar_t ch) {
    return ch == L'\\' || ch == L'/';
}

}  // namespace

bool ResolveRealName(const std::wstring& path, std::wstring& resolved) {
    // The full path name takes "." and ".." as text, as every Win32 file call does.
    std::wstring prefix = FullPathName(path);
    std::wstring rest;
    // A folder given with its trailing separator (C:\prog\) is the folder itself.
    while (prefix.size() > 3 && IsSeparator(prefix.back())) {
        prefix.pop_back();
    }
    for (;;) {
        if (prefix.empty()) {
            return false;
        }
        // "C:" alone would name the drive's current folder, not its root.
        if (prefix.back() == L':') {
            prefix += L'\\';
        }
        const CHandle found(OpenForLooking(prefix, true));
        if (found.IsOpen()) {
            std::wstring real = FinalPathOf(found.Get());
            if (real.empty()) {
                return false;
            }
            if (!rest.empty() && IsSeparator(real.back())) {
                real.pop_back();
            }
            resolved = real + rest;
            return true;
        }
        if (!IsMissingError(::GetLastError())) {
            return false;
        }
        const size_t separator = prefix.find_last_of(L"\\/");
        if (separator == std::wstring::npos || separator + 1 == prefix.size()) {
            return false;
        }
        rest.insert(0, prefix.substr(separator));
        prefix.erase(separator);
    }
}

bool IsInsideFolder(const std::wstring& folder, const std::wstring& path) {
    size_t length = folder.size();
    while (length > 0 && IsSeparator(folder[length - 1])) {
        --length;
    }
    if (length == 0 || path.size() < length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        const bool bothSeparators = IsSeparator(folder[i]) && IsSeparator(path[i]);
        if (!bothSeparators && FoldCase(folder[i]) != FoldCase(path[i])) {
            return false;
        }
    }
    return path.size() == length || IsSeparator(path[length]);
}

bool IsSameFile(const std::wstring& first, const std::wstring& second) {
    const CHandle one(OpenForLooking(first, true));
    const CHandle two(OpenForLooking(second, true));
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    if (!one.IsOpen() || !two.IsOpen() || ::GetFileInformationByHandle(one.Get(), &a) == 0 ||
        ::GetFileInformationByHandle(two.Get(), &b) == 0) {
        return false;
    }
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

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
    // A folder keeps its folder bit; a file becomes plain "normal".
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ChangeAttributes(path, 0, FILE_ATTRIBUTE_READONLY);
    }
    return ChangeAttributes(path, 0, ~static_cast<DWORD>(0));
}

bool MakeReadOnly(const std::wstring& path) {
    return ChangeAttributes(path, FILE_ATTRIBUTE_READONLY, 0);
}

bool CopyFileReplacing(const std::wstring& source, const std::wstring& target) {
    // CopyFileW writes the target in place; a program still running from the target holds it
    // open without sharing and the copy fails, which the cover-file list reports and retries.
    constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD sourceAttributes = AttributesOf(source);
    if (sourceAttributes == INVALID_FILE_ATTRIBUTES || (sourceAttributes & kNotAFile) != 0) {
        return false;
    }
    // A replaced file keeps its attributes; CopyFileW would hand it the source's.
    const DWORD kept = AttributesOf(target);
    const bool replacing = kept != INVALID_FILE_ATTRIBUTES;
    if (replacing && (kept & kNotAFile) != 0) {
        return false;
    }
    if (replacing) {
        MakeWritable(target);
    }
    const bool copied = ::CopyFileW(source.c_str(), target.c_str(), FALSE) != 0;
    if (replacing) {
        ::SetFileAttributesW(target.c_str(), kept);
    }
    return copied;
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

}  // namespace kestrel::platform
