#pragma once
// A capture file replayed through the library's own protocol object and data center (as
// tradewire-replay does), its callbacks collected as Python events. Runs on the calling
// thread, with the GIL released while the protocol works. Needs the GIL on entry.

#include <pybind11/pybind11.h>

namespace capture_events {

// {"error": text or None, "header": the first line's facts, "dispatched": count,
//  "events": [(name, payload, message index, ms), ...]}. Unpaced, `ms` is the captured time
// of the chunk that completed the message; paced, the captured time of the processing pass
// that dispatched it. `message index` counts the messages dispatched before this one.
pybind11::dict Replay(const pybind11::bytes& capture, bool pace);

}  // namespace capture_events
