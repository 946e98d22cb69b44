#pragma once
// Writing a whole buffer to a POSIX file descriptor: write(2) may take part of it, or be cut
// short by a signal before taking anything. Not for Windows handles.

#include <unistd.h>

#include <cerrno>
#include <cstddef>

// Writes all of `size` bytes, resuming after a signal; false when the system takes no more (an
// error, or a write that took nothing), with errno telling why.
inline bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}
