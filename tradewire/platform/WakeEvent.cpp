#include "platform/WakeEvent.h"

#include <chrono>

void CWakeEvent::Set() {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_set = true;
    }
    m_changed.notify_one();
}

void CWakeEvent::Reset() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_set = false;
}

bool CWakeEvent::Wait(int timeoutMs) {
    std::unique_lock<std::mutex> guard(m_mutex);
    const auto isSet = [this] { return m_set; };
    if (timeoutMs < 0) {
        m_changed.wait(guard, isSet);
    } else if (!m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), isSet)) {
        return false;
    }
    m_set = false;
    return true;
}
