#include "tradewire/CriticalSection.h"

#include <windows.h>

#include <new>

// The interface's block is the critical section's own size, as callers' declarations of the
// data center expect; it is pointer-aligned, which the critical section needs.
static_assert(sizeof(CRITICAL_SECTION) == sizeof(CCriticalSection));
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
