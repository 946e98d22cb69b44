#include "platform/SteadyClock.h"

#include <windows.h>
// After windows.h, whose types it needs (timeGetTime).
#include <mmsystem.h>

namespace SteadyClock {

std::uint32_t NowMs() {
    // timeGetTime wraps after 49.7 days; ElapsedMs keeps differences right across the wrap.
    return static_cast<std::uint32_t>(::timeGetTime());
}

std::int32_t ElapsedMs(std::uint32_t start, std::uint32_t now) {
    return static_cast<std::int32_t>(now - start);
}

void SleepMs(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace SteadyClock
