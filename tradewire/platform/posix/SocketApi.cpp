#include "platform/SocketApi.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace SocketApi {

void StartUp() {}

Handle CreateStream() {
    const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    return handle < 0 ? kInvalidHandle : handle;
}

bool SetNonBlocking(Handle handle, bool nonBlocking) {
    if (handle == kInvalidHandle) {
        return false;
    }
    int argument = nonBlocking ? 1 : 0;
    return ::ioctl(handle, FIONBIO, &argument) == 0;
}

bool ParseIpv4(const std::string& text, std::uint32_t& address) {
    in_addr parsed{};
    // inet_aton accepts the same forms as inet_addr but tells "255.255.255.255" from garbage.
    if (text.empty() || ::inet_aton(text.c_str(), &parsed) == 0) {
        return false;
    }
    address = parsed.s_addr;
    return true;
}

unsigned long Connect(Handle handle, std::uint32_t address, std::uint16_t port) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = address;
    target.sin_port = htons(port);
    if (::connect(handle, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) == 0) {
        return 0;
    }
    if (errno == EINPROGRESS) {
        return kWouldBlock;
    }
    return LastError();
}

int WaitFor(Handle handle, bool forWrite, int timeoutMs) {
    pollfd entry{};
    entry.fd = handle;
    entry.events = forWrite ? POLLOUT : POLLIN;
    const int result = ::poll(&entry, 1, timeoutMs);
    if (result < 0 && errno == EINTR) {
        return 0;
    }
    return result;
}

unsigned long PendingError(Handle handle) {
    int error = 0;
    socklen_t size = sizeof(error);
    if (::getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        return LastError();
    }
    return error == 0 ? 0 : ToWinsockError(error);
}

void ShutdownBoth(Handle handle) {
    if (handle != kInvalidHandle) {
        ::shutdown(handle, SHUT_RDWR);
    }
}

void Close(Handle handle) {
    if (handle != kInvalidHandle) {
        ::close(handle);
    }
}

unsigned long LastError() {
    return errno == 0 ? 0 : ToWinsockError(errno);
}

void ClearLastError() {
    errno = 0;
}

}  // namespace SocketApi
