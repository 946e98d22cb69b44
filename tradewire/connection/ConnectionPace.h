#pragma once
// When the connection's workers run, from TRADEWIRE_PACE. The paced default runs each worker
// in fixed passes (sending every 10 ms, processing every 30 ms), the rhythm terminals and
// servers have always seen; "immediate" lets each worker sleep until there is work and do it
// at once. Safe to call from any thread.

#include <string_view>

enum class EConnectionPace { Paced, Immediate };

namespace ConnectionPace {

// Only the exact text "immediate" asks for the immediate pace; anything else, empty text
// included, keeps the paced default.
EConnectionPace FromText(std::string_view text);
// The variable as it is now, read through FromText.
EConnectionPace FromEnvironment();

}  // namespace ConnectionPace
