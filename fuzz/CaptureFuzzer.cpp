// A capture file as tradewire-replay reads it, from a customer or from anyone: read, then
// replayed at once and at the captured pace. Neither may crash or hang, whatever the record
// times, the chunks or the counts say, and the pace may change when a message goes out but
// never how many go out.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "NullSink.h"
#include "protocol/CaptureReplay.h"

namespace {

// How many messages the replay dispatched, or -1 when the file does not read as a capture.
long long Replay(std::string_view text, bool pace) {
    CCaptureReplay replay;
    std::string error;
    if (!replay.Load(text, error)) {
        return -1;
    }
    CNullSink sink;
    replay.Run(sink, pace, [](std::uint64_t) {});
    return static_cast<long long>(replay.Dispatched());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (Replay(text, false) != Replay(text, true)) {
        std::abort();
    }
    return 0;
}
