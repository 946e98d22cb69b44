#pragma once
// Keeping a peer's close from killing the caller's process: writes on a connection whose peer
// has gone raise SIGPIPE, and the TLS library writes with plain write(2). The library never
// changes the process-wide disposition; it only masks the signal on threads it writes from.

#ifndef _WIN32
#include <signal.h>
#endif

#include "common/base/NonCopyable.h"

namespace SignalMask {

// For the library's own worker threads, at their start: SIGPIPE stays blocked for their life.
void BlockBrokenPipeForThisThread();

// For a write on the caller's thread: blocks SIGPIPE while alive, then discards a SIGPIPE that
// the guarded writes raised and restores the caller's mask. A SIGPIPE that was already pending
// before the guard is left pending.
class CBrokenPipeGuard : NonCopyable {
  public:
    CBrokenPipeGuard();
    ~CBrokenPipeGuard();

  private:
#ifndef _WIN32
    sigset_t m_previousMask;
#endif
    bool m_wasPending = false;
    bool m_blocked = false;
};

}  // namespace SignalMask
