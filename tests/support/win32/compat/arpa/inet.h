#pragma once
// The Windows build of the tests: the POSIX socket headers some tests include are Winsock's.
#include <winsock2.h>
#include <ws2tcpip.h>
