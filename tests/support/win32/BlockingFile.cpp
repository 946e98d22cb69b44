#include "BlockingFile.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace {

std::atomic<int> g_made{0};

}  // namespace

CBlockingFile::CBlockingFile() {
    m_path = "\\\\.\\pipe\\tradewire-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(++g_made);
    // Listening at once: a reader connects and then waits for bytes that never come.
    const HANDLE pipe = ::CreateNamedPipeA(m_path.c_str(), PIPE_ACCESS_OUTBOUND,
                                           PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    m_made = pipe != INVALID_HANDLE_VALUE;
    m_pipe = m_made ? pipe : nullptr;
}

CBlockingFile::~CBlockingFile() {
    if (m_made) {
        ::CloseHandle(static_cast<HANDLE>(m_pipe));
    }
}
