#include "platform/HeldFile.h"

#include <windows.h>

#include "common/text/Utf8.h"

CHeldFile::~CHeldFile() {
    if (m_handle != kNone) {
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    }
}

bool CHeldFile::Open(const std::string& path) {
    // Shared for reading only: while it is held, the file can be neither written, replaced,
    // renamed nor deleted. A pipe opens at once or fails at once; a folder does not open.
    const HANDLE file =
        ::CreateFileW(common::text::Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        return false;
    }
    m_readPath = path;
    return true;
}
