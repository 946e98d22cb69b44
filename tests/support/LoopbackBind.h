#pragma once
// Binding a test socket to 127.0.0.1, written once for both socket APIs: Winsock names these
// calls as POSIX does, only the handle and address-length types differ. Included by each
// system's TestSockets.cpp after its own socket headers.

#include <cstdint>

namespace TestSockets {

// Binds to 127.0.0.1:port (0: a free port the system picks) and reads back the port bound.
template <class SOCKET_HANDLE, class ADDRESS_LENGTH>
bool BindLoopback(SOCKET_HANDLE socket, std::uint16_t port, std::uint16_t& boundPort) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    ADDRESS_LENGTH size = sizeof(address);
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return false;
    }
    boundPort = ntohs(address.sin_port);
    return true;
}

}  // namespace TestSockets
