#pragma once
// For the package's benchmark: what one library callback costs until it is a Python object.
// A thread of its own, as the library's processing thread would, calls a sink's
// OnRealtimePrice `count` times with one instrument and its quote; the sink hands each to
// `deliver(name, payload)` exactly as a live connection's does. Needs the GIL on entry and
// releases it while the thread runs, so every callback takes it the way a live one does.

#include <pybind11/pybind11.h>

namespace callback_bench {

// Seconds the thread took for all `count` callbacks.
double TimeQuoteCallbacks(pybind11::object deliver, int count);

}  // namespace callback_bench
