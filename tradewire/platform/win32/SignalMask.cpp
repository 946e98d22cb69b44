#include "platform/SignalMask.h"

// Windows raises no signal when a peer has closed: a write on such a socket fails with
// WSAECONNRESET, which the connection object reports. Nothing needs masking.
namespace SignalMask {

void BlockBrokenPipeForThisThread() {}

CBrokenPipeGuard::CBrokenPipeGuard() = default;

CBrokenPipeGuard::~CBrokenPipeGuard() = default;

}  // namespace SignalMask
