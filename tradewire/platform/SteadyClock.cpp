#include "platform/SteadyClock.h"

namespace SteadyClock {

std::int32_t ElapsedMs(std::uint32_t start, std::uint32_t now) {
    // Unsigned subtraction wraps with the counter; read as signed, it stays the true distance.
    return static_cast<std::int32_t>(now - start);
}

}  // namespace SteadyClock
