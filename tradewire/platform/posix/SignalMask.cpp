#include "platform/SignalMask.h"

#include <pthread.h>

#include <ctime>

namespace SignalMask {

namespace {

sigset_t BrokenPipeSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

bool IsBrokenPipePending() {
    sigset_t pending;
    sigemptyset(&pending);
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
}

}  // namespace

void BlockBrokenPipeForThisThread() {
    const sigset_t set = BrokenPipeSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

CBrokenPipeGuard::CBrokenPipeGuard() {
    const sigset_t set = BrokenPipeSet();
    m_blocked = pthread_sigmask(SIG_BLOCK, &set, &m_previousMask) == 0;
    m_wasPending = m_blocked && IsBrokenPipePending();
}

CBrokenPipeGuard::~CBrokenPipeGuard() {
    if (!m_blocked) {
        return;
    }
    if (!m_wasPending && IsBrokenPipePending()) {
        const sigset_t set = BrokenPipeSet();
        const timespec noWait{0, 0};
        // A process-directed SIGPIPE may also be pending; one wait consumes what we raised.
        sigtimedwait(&set, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

}  // namespace SignalMask
