// Arbitrary bytes from the server, as the processing thread sees them: appended to the receive
// buffer in pieces of varying size and cut off message by message until nothing more goes, with
// a sink that reads the stores and builds requests from every callback. The protocol object
// has no connection, so requests are only framed.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ForexProtocol.h"
#include "FuzzSink.h"
#include "ReceiveBuffer.h"

namespace {

// Every call must shrink the buffer or report that nothing could be cut; anything else would
// spin the processing thread forever.
void DrainBuffer(CForexProtocol& protocol, CReceiveBuffer& buffer) {
    for (;;) {
        const size_t before = buffer.Size();
        if (protocol.ProcessReceived(buffer) == 0) {
            return;
        }
        if (buffer.Size() >= before) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte sets the size of the pieces the receive thread hands over (0: all at once).
    const size_t piece = data[0] == 0 ? size : data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    CForexProtocol protocol(nullptr);
    CFuzzSink sink(protocol);
    protocol.GetDataCenter()->SetNotify(&sink);
    CReceiveBuffer buffer;
    for (size_t offset = 0; offset < bytes.size(); offset += piece) {
        buffer.Append(bytes.substr(offset, piece));
        DrainBuffer(protocol, buffer);
    }
    protocol.GetDataCenter()->UnSetNotify();
    return 0;
}
