#include "platform/CaptureFile.h"

#include <windows.h>

#include <cstdio>

#include "common/text/Utf8.h"

namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool IsSeparator(wchar_t ch) {
    return ch == L'\\' || ch == L'/';
}

std::string SystemReason(DWORD error) {
    wchar_t text[512] = L"";
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                         0, text, sizeof text / sizeof text[0], nullptr);
    std::wstring reason(text, length);
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' ||
                               reason.back() == L' ' || reason.back() == L'.')) {
        reason.pop_back();
    }
    if (reason.empty()) {
        return "system error " + std::to_string(error);
    }
    return common::text::WideToUtf8(reason);
}

// Makes every missing folder along `folder`, the last one included; they inherit their
// parent's permissions. The error of the first that could not be made, 0 when none failed.
// A drive or share at the start cannot be made and is passed over.
DWORD MakeFolders(const std::wstring& folder) {
    DWORD firstError = 0;
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && !IsSeparator(folder[at])) {
            continue;
        }
        const std::wstring prefix = folder.substr(0, at);
        if (prefix.back() == L':' || ::CreateDirectoryW(prefix.c_str(), nullptr) != 0) {
            continue;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && firstError == 0) {
            firstError = error;
        }
    }
    return firstError;
}

}  // namespace

CCaptureFile::~CCaptureFile() {
    if (m_handle != kNone) {
        ::CloseHandle(AsHandle(m_handle));
    }
}

bool CCaptureFile::Create(const std::string& folder, const std::string& name) {
    m_failure.clear();
    const DWORD folderError = MakeFolders(common::text::Utf8ToWide(folder));
    const bool separated = folder.empty() || folder.back() == '/' || folder.back() == '\\';
    const std::wstring path =
        common::text::Utf8ToWide(separated ? folder + name : folder + "\\" + name);
    // CREATE_NEW: an existing file is never written through. Not shared with other openers
    // while it is written; the folder's permissions decide who may read it afterwards.
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A folder that is missing is best explained by why it could not be made.
        m_failure =
            SystemReason(error == ERROR_PATH_NOT_FOUND && folderError != 0 ? folderError : error);
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    return true;
}

bool CCaptureFile::Write(const char* data, size_t size) {
    while (size > 0 && m_handle != kNone) {
        const DWORD chunk = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(AsHandle(m_handle), data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return size == 0;
}

std::string CCaptureFile::UtcStamp() {
    SYSTEMTIME utc{};
    ::GetSystemTime(&utc);
    char text[32];
    (void)std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", utc.wYear, utc.wMonth,
                        utc.wDay, utc.wHour, utc.wMinute, utc.wSecond);
    return text;
}

std::uint32_t CCaptureFile::ProcessId() {
    return static_cast<std::uint32_t>(::GetCurrentProcessId());
}
