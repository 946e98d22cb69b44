#include "tradewire/CriticalSection.h"

#include <windows.h>

#include <new>

// The interface's block must hold the critical section; it is pointer-aligned, which the
// critical section needs.
static_assert(sizeof(CRITICAL_SECTION) <= sizeof(void*) * 8);
static_assert(alignof(CRITICAL_SECTION) <= alignof(void*));

namespace {

CRITICAL_SECTION* SectionIn(void* block) {
    return static_cast<CRITICAL_SECTION*>(block);
}

}  // namespace

void TradewireLockInit(void* block) {
    ::InitializeCriticalSection(new (block) CRITICAL_SECTION);
}

void TradewireLockDestroy(void* block) {
    ::DeleteCriticalSection(SectionIn(block));
}

void TradewireLockEnter(void* block) {
    ::EnterCriticalSection(SectionIn(block));
}

void TradewireLockLeave(void* block) {
    ::LeaveCriticalSection(SectionIn(block));
}
