#include "tradewire/CriticalSection.h"

#include <pthread.h>

#include <cstdlib>
#include <new>

// The interface's block must hold the mutex; it is pointer-aligned, which the mutex needs.
static_assert(sizeof(pthread_mutex_t) <= sizeof(CCriticalSection));
static_assert(alignof(pthread_mutex_t) <= alignof(void*));

namespace {

pthread_mutex_t* MutexIn(void* block) {
    return static_cast<pthread_mutex_t*>(block);
}

}  // namespace

// Setting up a recursive mutex only fails when memory or the attribute is bad; neither can be
// reported from a constructor, and a default mutex would deadlock on the re-entry the data
// center relies on, so failure ends the process.
void TradewireLockInit(void* block) {
    pthread_mutexattr_t attributes;
    if (pthread_mutexattr_init(&attributes) != 0 ||
        pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE) != 0 ||
        pthread_mutex_init(new (block) pthread_mutex_t, &attributes) != 0) {
        std::abort();
    }
    pthread_mutexattr_destroy(&attributes);
}

void TradewireLockDestroy(void* block) {
    pthread_mutex_destroy(MutexIn(block));
}

void TradewireLockEnter(void* block) {
    pthread_mutex_lock(MutexIn(block));
}

void TradewireLockLeave(void* block) {
    pthread_mutex_unlock(MutexIn(block));
}
