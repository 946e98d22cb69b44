#pragma once
// The recursive lock (a critical section: its owner may take it again) and the only way to take
// it: a named scoped guard, so every path, an exception from a copy included, leaves the lock.

#include <mutex>

class CCriticalSection {
  public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }

  private:
    std::recursive_mutex m_mutex;
};

class CScopedLock {
  public:
    explicit CScopedLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
    ~CScopedLock() { m_section.Unlock(); }
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

  private:
    CCriticalSection& m_section;
};
