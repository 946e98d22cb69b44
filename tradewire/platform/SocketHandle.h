#pragma once
// An owned stream socket, closed when its owner goes.

#include "platform/OwnedHandle.h"
#include "platform/SocketApi.h"

struct CSocketTraits {
    using Handle = SocketApi::Handle;
    static constexpr Handle kNone = SocketApi::kInvalidHandle;
    static void Free(Handle handle) { SocketApi::Close(handle); }
};

using CSocketHandle = COwnedHandle<CSocketTraits>;
