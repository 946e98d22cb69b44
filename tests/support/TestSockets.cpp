#include "TestSockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include "LoopbackBind.h"

namespace {

void SetNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    return ::poll(&entry, 1, timeoutMs) > 0;
}

}  // namespace

namespace TestSockets {

int OpenLoopbackListener(std::uint16_t port, std::uint16_t& boundPort) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        return -1;
    }
    const int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    if (!BindLoopback<int, socklen_t>(listener, port, boundPort) || ::listen(listener, 16) != 0) {
        ::close(listener);
        return -1;
    }
    SetNonBlocking(listener);
    return listener;
}

// Without SO_REUSEADDR: no other socket may share the port while this one holds it.
int OpenRefusingLoopback(std::uint16_t& boundPort) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (!BindLoopback<int, socklen_t>(fd, 0, boundPort)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int AcceptClient(int listener) {
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) {
        SetNonBlocking(fd);
    }
    return fd;
}

void WaitForEither(int listener, int client, int timeoutMs) {
    pollfd entries[2] = {{listener, POLLIN, 0}, {client, POLLIN, 0}};
    ::poll(entries, client >= 0 ? 2 : 1, timeoutMs);
}

bool WaitReadable(int fd, int timeoutMs) {
    return WaitFor(fd, POLLIN, timeoutMs);
}

bool WaitWritable(int fd, int timeoutMs) {
    return WaitFor(fd, POLLOUT, timeoutMs);
}

bool SendBytes(int fd, const char* data, int size) {
    return ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL) == size;
}

void SetAbortiveClose(int fd) {
    const linger abortive{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof(abortive));
}

void Close(int fd) {
    ::close(fd);
}

void IgnoreBrokenPipesOnThisThread() {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

}  // namespace TestSockets
