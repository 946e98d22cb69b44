#pragma once
// Waiting for something another thread makes true (a connection's reader, a server's loop):
// polling rather than sleeping a fixed time, so a quick machine does not sit out the whole limit
// and a slow one is still given all of it. Any thread may call it; it owns nothing.

#include <chrono>
#include <functional>
#include <thread>

// True as soon as `condition` holds, checked every `step`; once `limit` has passed, one last
// check decides.
inline bool Eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(5),
                       std::chrono::milliseconds step = std::chrono::milliseconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(step);
    }
    return condition();
}
