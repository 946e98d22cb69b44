#include "BlockingFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

namespace {

std::atomic<int> g_made{0};

}  // namespace

CBlockingFile::CBlockingFile() {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tradewire-fifo-" + std::to_string(::getpid()) + "-" + std::to_string(++g_made));
    m_path = path.string();
    ::unlink(m_path.c_str());
    m_made = ::mkfifo(m_path.c_str(), 0600) == 0;
}

CBlockingFile::~CBlockingFile() {
    if (m_made) {
        ::unlink(m_path.c_str());
    }
}
