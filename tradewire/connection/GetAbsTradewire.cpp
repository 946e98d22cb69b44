#include <new>

#include "connection/SocketManager.h"

CAbsForexManager* GetAbsTradewire() {
    return new (std::nothrow) CSocketManager();
}
