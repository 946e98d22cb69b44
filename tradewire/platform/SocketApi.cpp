#include "platform/SocketApi.h"

namespace SocketApi {

int WaitWritable(Handle handle, int timeoutMs) {
    return WaitFor(handle, true, timeoutMs);
}

int WaitReadable(Handle handle, int timeoutMs) {
    return WaitFor(handle, false, timeoutMs);
}

}  // namespace SocketApi
