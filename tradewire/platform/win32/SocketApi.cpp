#include "platform/SocketApi.h"

#include <winsock2.h>

#include <cerrno>

namespace SocketApi {

void StartUp() {
    // Winsock counts start-ups; the matching clean-up is never called, so the service stays up
    // for as long as the process may still hold a connection object.
    WSADATA data{};
    ::WSAStartup(MAKEWORD(2, 2), &data);
}

Handle CreateStream() {
    const SOCKET handle = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (handle == INVALID_SOCKET) {
        return kInvalidHandle;
    }
    // Programs the caller starts later must not inherit the connection.
    ::SetHandleInformation(reinterpret_cast<HANDLE>(handle), HANDLE_FLAG_INHERIT, 0);
    return static_cast<Handle>(handle);
}

bool SetNonBlocking(Handle handle, bool nonBlocking) {
    if (handle == kInvalidHandle) {
        return false;
    }
    u_long argument = nonBlocking ? 1 : 0;
    return ::ioctlsocket(static_cast<SOCKET>(handle), FIONBIO, &argument) == 0;
}

bool ParseIpv4(const std::string& text, std::uint32_t& address) {
    if (text.empty()) {
        return false;
    }
    // inet_addr answers INADDR_NONE both for garbage and for the broadcast address itself.
    const unsigned long parsed = ::inet_addr(text.c_str());
    if (parsed == INADDR_NONE && text != "255.255.255.255") {
        return false;
    }
    address = static_cast<std::uint32_t>(parsed);
    return true;
}

unsigned long Connect(Handle handle, std::uint32_t address, std::uint16_t port) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = address;
    target.sin_port = ::htons(port);
    if (::connect(static_cast<SOCKET>(handle), reinterpret_cast<const sockaddr*>(&target),
                  sizeof(target)) == 0) {
        return 0;
    }
    return LastError();
}

// A failed non-blocking connection shows in the exception set, not the write set, so both
// are watched: either way the caller goes on to read the outcome.
int WaitFor(Handle handle, bool forWrite, int timeoutMs) {
    const SOCKET socket = static_cast<SOCKET>(handle);
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval limit{};
    limit.tv_sec = timeoutMs / 1000;
    limit.tv_usec = (timeoutMs % 1000) * 1000;
    timeval* bound = timeoutMs < 0 ? nullptr : &limit;
    return ::select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, bound);
}

unsigned long PendingError(Handle handle) {
    int error = 0;
    int size = sizeof(error);
    if (::getsockopt(static_cast<SOCKET>(handle), SOL_SOCKET, SO_ERROR,
                     reinterpret_cast<char*>(&error), &size) != 0) {
        return LastError();
    }
    return static_cast<unsigned long>(error);
}

void ShutdownBoth(Handle handle) {
    if (handle != kInvalidHandle) {
        ::shutdown(static_cast<SOCKET>(handle), SD_BOTH);
    }
}

void Close(Handle handle) {
    if (handle != kInvalidHandle) {
        ::closesocket(static_cast<SOCKET>(handle));
    }
}

unsigned long LastError() {
    return static_cast<unsigned long>(::WSAGetLastError());
}

void ClearLastError() {
    ::WSASetLastError(0);
}

}  // namespace SocketApi
