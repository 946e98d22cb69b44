// Arbitrary bytes from the server, as the processing thread sees them: appended to the receive
// buffer in pieces of varying size and cut off message by message until nothing more goes, with
// a sink that reads the stores and builds requests from every callback. The protocol object
// has no connection, so requests are only framed.
//
// The same bytes are then fed again in one piece: where the network happens to cut the stream
// must not change a single callback, request or stored value.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzSink.h"
#include "protocol/ForexProtocol.h"
#include "protocol/ReceiveBuffer.h"
#include "vocabulary/WireVocabulary.h"

namespace {

// Every call must shrink the buffer or report that nothing could be cut; anything else would
// spin the processing thread forever.
void DrainBuffer(CForexProtocol& protocol, CReceiveBuffer& buffer) {
    for (;;) {
        const size_t before = buffer.Size();
        if (protocol.ProcessReceived(buffer) == wire::Result::Incomplete) {
            return;
        }
        if (buffer.Size() >= before) {
            std::abort();
        }
    }
}

// Everything the sink heard and the stores held afterwards, with what stayed in the buffer.
std::string Run(std::string_view bytes, size_t piece) {
    CForexProtocol protocol;
    CFuzzSink sink(protocol);
    protocol.GetDataCenter()->SetNotify(&sink);
    CReceiveBuffer buffer;
    for (size_t offset = 0; offset < bytes.size(); offset += piece) {
        buffer.Append(bytes.substr(offset, piece));
        DrainBuffer(protocol, buffer);
    }
    protocol.GetDataCenter()->UnSetNotify();
    sink.NoteStores();
    return sink.Transcript() + "\nleft " + std::string(buffer.View());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte sets the size of the pieces the receive thread hands over (0: all at once).
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t whole = bytes.size() + 1;
    const std::string inPieces = Run(bytes, data[0] == 0 ? whole : data[0]);
    if (data[0] != 0 && Run(bytes, whole) != inPieces) {
        std::abort();
    }
    return 0;
}
