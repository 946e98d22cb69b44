#include <new>

#include "SocketManager.h"

CAbsForexManager* GetAbsTradewire() {
    return new (std::nothrow) CSocketManager();
}
