#include "platform/SteadyClock.h"

#include <windows.h>
// After windows.h, whose types it needs (timeGetTime).
#include <mmsystem.h>

namespace SteadyClock {

std::uint32_t NowMs() {
    // timeGetTime wraps after 49.7 days; ElapsedMs keeps differences right across the wrap.
    return static_cast<std::uint32_t>(::timeGetTime());
}

void SleepMs(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace SteadyClock
