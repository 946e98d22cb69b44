#include "platform/HeldFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CHeldFile::~CHeldFile() {
    if (m_handle != kNone) {
        ::close(static_cast<int>(m_handle));
    }
}

bool CHeldFile::Open(const std::string& path) {
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead of waiting for one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    m_handle = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const std::string ownName = "/proc/self/fd/" + std::to_string(fd);
    m_readPath = ::access(ownName.c_str(), R_OK) == 0 ? ownName : path;
    return true;
}
