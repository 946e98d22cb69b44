#pragma once
// The one heap behind every CString and CArray buffer. The library and the terminal may be
// built with different compilers and C runtimes, each with its own malloc; a buffer filled on
// one side and grown or freed on the other is only safe when both sides take it from the same
// heap. On Windows that is the process heap, reached through kernel32 by every runtime; on
// other systems there is one C library per process, so malloc serves. This is the one place in
// the interface that must know the system, hence the one conditional; the three kernel32
// functions are declared here rather than through <windows.h>, so that the interface does not
// drag windows.h's macros (min, max, GetMessage...) into every file that includes it. The
// declarations match windows.h's exactly, so both may be seen in one file.
// Any thread may call these; a null pointer is freed as a no-op, and a failed allocation
// returns null.

#include <stddef.h>

#ifdef _WIN32
extern "C" {
__declspec(dllimport) void* __stdcall GetProcessHeap(void);
__declspec(dllimport) void* __stdcall HeapAlloc(void* heap, unsigned long flags, size_t bytes);
__declspec(dllimport) int __stdcall HeapFree(void* heap, unsigned long flags, void* memory);
}

inline void* TradewireHeapAlloc(size_t bytes) {
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

inline void TradewireHeapFree(void* memory) {
    if (memory != nullptr) {
        HeapFree(GetProcessHeap(), 0, memory);
    }
}
#else
#include <stdlib.h>

inline void* TradewireHeapAlloc(size_t bytes) {
    return malloc(bytes);
}

inline void TradewireHeapFree(void* memory) {
    if (memory != nullptr) {  // most strings in a record are empty and hold no buffer
        free(memory);
    }
}
#endif
