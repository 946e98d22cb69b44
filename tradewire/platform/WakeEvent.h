#pragma once
// A wake-up one thread sleeps on and any other thread gives: set until a wait takes it, so a
// wake-up given while nobody waits is not lost. Any thread may Set; one thread at a time
// waits. The flag is guarded by the event's own mutex, a leaf: nothing is taken inside it.

#include <condition_variable>
#include <mutex>

class CWakeEvent {
  public:
    CWakeEvent() = default;
    CWakeEvent(const CWakeEvent&) = delete;
    CWakeEvent& operator=(const CWakeEvent&) = delete;

    void Set();
    // Forgets a wake-up nobody took.
    void Reset();
    // Sleeps until the event is set or timeoutMs passed (-1: without limit) and takes the
    // wake-up: true when it was set.
    bool Wait(int timeoutMs);

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set = false;  // guarded by m_mutex
};
