#pragma once
// The few socket calls of the loopback test server, over the system's own socket API:
// TestSockets.cpp here, win32/TestSockets.cpp in the Windows build. Sockets are plain ints on
// both systems (Windows hands out small handle values, and OpenSSL's SSL_set_fd takes an int
// there too). Only the server's own thread uses them.

#include <cstdint>

namespace TestSockets {

// A non-blocking listening socket on 127.0.0.1:port (0: a free port chosen by the system);
// -1 on failure. `boundPort` receives the port actually bound.
int OpenLoopbackListener(std::uint16_t port, std::uint16_t& boundPort);
// A socket bound to 127.0.0.1 on a free port but not listening, so that connections to the port
// are refused while it stays open; -1 on failure. For tests of a refused connect.
int OpenRefusingLoopback(std::uint16_t& boundPort);
// The next waiting client, made non-blocking; -1 when none is waiting.
int AcceptClient(int listener);
// Waits up to `timeoutMs` until the listener or the client (when >= 0) is readable.
void WaitForEither(int listener, int client, int timeoutMs);
bool WaitReadable(int fd, int timeoutMs);
bool WaitWritable(int fd, int timeoutMs);
// Writes the bytes as far as the socket takes them at once; true when all were taken.
bool SendBytes(int fd, const char* data, int size);
// Makes the next close send a reset instead of an orderly end.
void SetAbortiveClose(int fd);
void Close(int fd);
// A client that has gone must not end the test process when the server writes to it.
void IgnoreBrokenPipesOnThisThread();

}  // namespace TestSockets
