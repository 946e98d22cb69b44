#pragma once
// The operating system's stream sockets, reduced to what the connection object needs. Every
// function reports failure by its result; none throws. Error numbers handed out are Winsock
// numbers, so the sink sees the same values on every platform. Any thread may call these; a
// handle is used by one connection object at a time.

#include <cstdint>
#include <string>

namespace SocketApi {

#ifdef _WIN32
using Handle = std::uintptr_t;  // SOCKET
constexpr Handle kInvalidHandle = ~static_cast<Handle>(0);
#else
using Handle = int;
constexpr Handle kInvalidHandle = -1;
#endif

// Winsock numbers the connection object compares against.
constexpr unsigned long kWouldBlock = 10035;
// WSAEMSGSIZE: reported by the connection itself when a message outgrows the receive buffer.
constexpr unsigned long kMessageTooLong = 10040;

// Starts the system's socket service once per process (Winsock 2.2 on Windows; nothing to do
// elsewhere). Its result is not examined: a failure shows in the socket calls that follow.
void StartUp();

// A new IPv4 stream socket, or kInvalidHandle.
Handle CreateStream();
bool SetNonBlocking(Handle handle, bool nonBlocking);
// Dotted IPv4 text to an address in network order; false for text that does not read as one.
bool ParseIpv4(const std::string& text, std::uint32_t& address);
// Starts a connection to address:port (address in network order). 0 when connected at once,
// kWouldBlock while a non-blocking connection is under way, any other Winsock number on
// failure.
unsigned long Connect(Handle handle, std::uint32_t address, std::uint16_t port);
// Wait up to timeoutMs (-1: without limit) for the socket to become writable / readable.
// >0 ready (also when the socket has failed or was shut down), 0 not yet, <0 failure.
int WaitWritable(Handle handle, int timeoutMs);
int WaitReadable(Handle handle, int timeoutMs);
// The system half of both waits: for writing when `forWrite`, else for reading.
int WaitFor(Handle handle, bool forWrite, int timeoutMs);
// The outcome of a finished non-blocking connection: 0 or a Winsock number.
unsigned long PendingError(Handle handle);
// Wakes any thread blocked on the socket; the descriptor stays reserved until Close.
void ShutdownBoth(Handle handle);
void Close(Handle handle);

// The calling thread's last error, as a Winsock number (0 when there is none), and the way to
// clear it before a call whose failure may leave no number behind.
unsigned long LastError();
void ClearLastError();
unsigned long ToWinsockError(int systemError);

}  // namespace SocketApi
