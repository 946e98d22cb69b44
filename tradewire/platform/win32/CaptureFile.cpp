#include "platform/CaptureFile.h"

#include <windows.h>

#include <cstdio>

#include "common/text/Utf8.h"

namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

CCaptureFile::~CCaptureFile() {
    if (m_handle != kNone) {
        ::CloseHandle(AsHandle(m_handle));
    }
}

bool CCaptureFile::Create(const std::string& folder, const std::string& name) {
    const bool separated = folder.empty() || folder.back() == '/' || folder.back() == '\\';
    const std::wstring path =
        common::text::Utf8ToWide(separated ? folder + name : folder + "\\" + name);
    // CREATE_NEW: an existing file is never written through. Not shared with other openers
    // while it is written; the folder's permissions decide who may read it afterwards.
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
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
