#pragma once
// An owned module loaded at run time, unloaded when its owner goes. Whatever was taken from
// the module by name must not outlive the owner.

#include "platform/OwnedHandle.h"

struct CModuleTraits {
    using Handle = void*;
    static constexpr Handle kNone = nullptr;
    static void Free(Handle module);  // ModuleLoader::Free
};

using CModuleHandle = COwnedHandle<CModuleTraits>;
