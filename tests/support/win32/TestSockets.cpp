// The loopback test server's socket calls over Winsock.
#include "../TestSockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "../LoopbackBind.h"

namespace {

SOCKET Handle(int fd) {
    return static_cast<SOCKET>(fd);
}

void SetNonBlocking(int fd) {
    u_long yes = 1;
    ::ioctlsocket(Handle(fd), FIONBIO, &yes);
}

bool WaitFor(int fd, short events, int timeoutMs) {
    WSAPOLLFD entry{};
    entry.fd = Handle(fd);
    entry.events = events;
    return ::WSAPoll(&entry, 1, timeoutMs) > 0;
}

// The server, and tests that open sockets of their own, may run before any connection object
// has started Winsock in this process: it starts when the program loads.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

const bool kWinsockStarted = StartWinsock();

}  // namespace

namespace TestSockets {

int OpenLoopbackListener(std::uint16_t port, std::uint16_t& boundPort) {
    StartWinsock();
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) {
        return -1;
    }
    // Windows' SO_REUSEADDR would let another socket steal the port; the exclusive form is the
    // safe one.
    const BOOL yes = TRUE;
    ::setsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
                 sizeof(yes));
    if (!BindLoopback<SOCKET, int>(listener, port, boundPort) || ::listen(listener, 16) != 0) {
        ::closesocket(listener);
        return -1;
    }
    const int fd = static_cast<int>(listener);
    SetNonBlocking(fd);
    return fd;
}

int OpenRefusingLoopback(std::uint16_t& boundPort) {
    StartWinsock();
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) {
        return -1;
    }
    if (!BindLoopback<SOCKET, int>(socket, 0, boundPort)) {
        ::closesocket(socket);
        return -1;
    }
    return static_cast<int>(socket);
}

int AcceptClient(int listener) {
    const SOCKET accepted = ::accept(Handle(listener), nullptr, nullptr);
    if (accepted == INVALID_SOCKET) {
        return -1;
    }
    const int fd = static_cast<int>(accepted);
    SetNonBlocking(fd);
    return fd;
}

void WaitForEither(int listener, int client, int timeoutMs) {
    WSAPOLLFD entries[2]{};
    entries[0].fd = Handle(listener);
    entries[0].events = POLLIN;
    entries[1].fd = Handle(client);
    entries[1].events = POLLIN;
    ::WSAPoll(entries, client >= 0 ? 2 : 1, timeoutMs);
}

bool WaitReadable(int fd, int timeoutMs) {
    return WaitFor(fd, POLLIN, timeoutMs);
}

bool WaitWritable(int fd, int timeoutMs) {
    return WaitFor(fd, POLLOUT, timeoutMs);
}

bool SendBytes(int fd, const char* data, int size) {
    return ::send(Handle(fd), data, size, 0) == size;
}

void SetAbortiveClose(int fd) {
    const linger abortive{1, 0};
    ::setsockopt(Handle(fd), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive),
                 sizeof(abortive));
}

void Close(int fd) {
    ::closesocket(Handle(fd));
}

// Windows has no SIGPIPE: a write to a gone peer fails with an error.
void IgnoreBrokenPipesOnThisThread() {}

}  // namespace TestSockets
