#pragma once
// Runs part of a test in a child process whose address space may grow only by `headroom`
// bytes beyond what it holds when the body starts, so that an allocation past that fails the
// way it does when memory runs out. Returns the body's exit value (0 to 254; 255 when the
// child died), or -1 where no such limit can be set (Windows, and sanitizer builds, which
// reserve their shadow memory up front). The calling thread only; the body must not start
// threads.

#include <cstddef>

int RunUnderMemoryLimit(size_t headroom, int (*body)(void* context), void* context);
