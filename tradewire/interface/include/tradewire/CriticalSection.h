#pragma once
// The recursive lock (a critical section: its owner may take it again) and the only way to take
// it: a named scoped guard, so every path leaves the lock.
//
// The lock's layout is fixed here, whatever compiler reads this: an opaque block of exactly
// the size of Windows' CRITICAL_SECTION (40 bytes on 64-bit systems, 24 on 32-bit ones), which
// the library's functions below turn into the system's own recursive lock (a CRITICAL_SECTION
// on Windows, a recursive pthread mutex elsewhere, which fits). The block is never copied or
// moved, which both system locks require.

#include "tradewire/TradewireExport.h"

extern "C" {
TRADEWIRE_EXPORT void TradewireLockInit(void* block);
TRADEWIRE_EXPORT void TradewireLockDestroy(void* block);
TRADEWIRE_EXPORT void TradewireLockEnter(void* block);
TRADEWIRE_EXPORT void TradewireLockLeave(void* block);
}

class CCriticalSection {
  public:
    CCriticalSection() { TradewireLockInit(m_block); }
    ~CCriticalSection() { TradewireLockDestroy(m_block); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() { TradewireLockEnter(m_block); }
    void Unlock() { TradewireLockLeave(m_block); }

  private:
    void* m_block[sizeof(void*) == 8 ? 5 : 6];  // pointer-aligned, as both system locks need
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
