#include "platform/CaptureFile.h"

#include <errno.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

CCaptureFile::~CCaptureFile() {
    if (m_handle != kNone) {
        ::close(static_cast<int>(m_handle));
    }
}

bool CCaptureFile::Create(const std::string& folder, const std::string& name) {
    const std::string path =
        folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
    // O_EXCL: a name that exists (or a link planted under it) is never written through.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    m_handle = fd;
    return true;
}

bool CCaptureFile::Write(const char* data, size_t size) {
    while (size > 0 && m_handle != kNone) {
        const ssize_t written = ::write(static_cast<int>(m_handle), data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return size == 0;
}

std::string CCaptureFile::UtcStamp() {
    const time_t now = ::time(nullptr);
    struct tm utc {};
    ::gmtime_r(&now, &utc);
    char text[32];
    (void)std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", utc.tm_year + 1900,
                        utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::uint32_t CCaptureFile::ProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}
