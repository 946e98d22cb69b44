// A capture file as tradewire-replay reads it, from a customer or from anyone: read, then
// replayed at once and at the captured pace. Neither may crash or hang, whatever the record
// times, the chunks or the counts say. (How many lines one pass joins depends on what has
// arrived by then, so the two may take a different number of steps; only a file without joined
// lines gives the same count both ways.)

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <tradewire/ForexNotifyAdapter.h>
#include "protocol/CaptureReplay.h"

namespace {

// Every callback ignored: the replay's own checks are what the fuzzer watches.
class CQuietSink : public CForexNotifyAdapter {};

void Replay(std::string_view text, bool pace) {
    CCaptureReplay replay;
    std::string error;
    if (!replay.Load(text, error)) {
        return;
    }
    CQuietSink sink;
    replay.Run(sink, pace, [](std::uint64_t) {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Replay(text, false);
    Replay(text, true);
    return 0;
}
