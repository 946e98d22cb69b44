// The pieces of the static Visual C++ runtime (msvcrt.lib, vcruntime.lib) that a /MD program
// links statically and that Wine does not ship: the global allocation operators, the marker
// that floating point is in use, and the virtual table every RTTI type descriptor points at.
// Linked into every program scripts/msvc-abi.sh builds.

#include <stdlib.h>

void* operator new(size_t size) {
    return malloc(size != 0 ? size : 1);
}

void* operator new[](size_t size) {
    return malloc(size != 0 ? size : 1);
}

void operator delete(void* block) noexcept {
    free(block);
}

void operator delete[](void* block) noexcept {
    free(block);
}

void operator delete(void* block, size_t) noexcept {
    free(block);
}

void operator delete[](void* block, size_t) noexcept {
    free(block);
}

// The compiler references it from every object that uses floating point.
extern "C" int _fltused = 0;

namespace {

// type_info objects are never deleted by these programs; the slot only has to exist.
void* TypeInfoScalarDeletingDestructor(void* self, unsigned) {
    return self;
}

}  // namespace

// type_info's virtual table, under its decorated name: RTTI descriptors point at it, and
// dynamic_cast and exception matching compare type names, never this table.
extern "C" void* const TypeInfoVftable[1] __asm__("??_7type_info@@6B@") = {
    reinterpret_cast<void*>(&TypeInfoScalarDeletingDestructor)};
