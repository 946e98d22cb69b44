#include "MemoryLimit.h"

// Windows has no per-process address-space limit a test can set on itself.
int RunUnderMemoryLimit(size_t, int (*)(void*), void*) {
    return -1;
}
