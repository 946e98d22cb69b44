// The error numbers callers see are Winsock's on every system; this one table serves the POSIX
// and the Windows socket layers alike.
#include <cerrno>

#include "platform/SocketApi.h"

namespace SocketApi {

unsigned long ToWinsockError(int systemError) {
    switch (systemError) {
        case 0:
            return 0;
        case ECONNRESET:
        case EPIPE:
            return 10054;
        case ECONNABORTED:
            return 10053;
        case ECONNREFUSED:
            return 10061;
        case ETIMEDOUT:
            return 10060;
        case ENOTCONN:
            return 10057;
        case EHOSTUNREACH:
            return 10065;
        case ENETUNREACH:
            return 10051;
        case EINPROGRESS:
        case EWOULDBLOCK:
            return kWouldBlock;
        default:
            break;
    }
    // Winsock's own numbers (10000 and up, only ever seen on Windows) pass unchanged.
    if (systemError >= 10000) {
        return static_cast<unsigned long>(systemError);
    }
    return 10000UL + static_cast<unsigned long>(systemError);
}

}  // namespace SocketApi
