#include "platform/SteadyClock.h"

#include <chrono>
#include <thread>

namespace SteadyClock {

std::uint32_t NowMs() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

std::int32_t ElapsedMs(std::uint32_t start, std::uint32_t now) {
    return static_cast<std::int32_t>(now - start);
}

void SleepMs(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace SteadyClock
