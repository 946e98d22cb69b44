#pragma once
// A millisecond counter that wraps like the 32-bit tick counters the connection logic was
// written against, and the thread pause. Safe from any thread.

#include <cstdint>

namespace SteadyClock {

std::uint32_t NowMs();
// now - start as a signed 32-bit value, so a wrap of the counter never looks like a long
// (or negative) wait.
std::int32_t ElapsedMs(std::uint32_t start, std::uint32_t now);
void SleepMs(unsigned milliseconds);

}  // namespace SteadyClock
