#include "TestSockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

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
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t size = sizeof(address);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener, 16) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(listener);
        return -1;
    }
    boundPort = ntohs(address.sin_port);
    SetNonBlocking(listener);
    return listener;
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
