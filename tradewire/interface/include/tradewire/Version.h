#pragma once
// The library's version, the same as its CMake project version (the build stops when they
// differ). A terminal may compare it with what it was written for.

#define TRADEWIRE_VERSION_MAJOR 1
#define TRADEWIRE_VERSION_MINOR 0
#define TRADEWIRE_VERSION_PATCH 0
#define TRADEWIRE_VERSION "1.0.0"
