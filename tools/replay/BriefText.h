#pragma once
// The short forms tradewire-replay --brief and --utc print. Stateless; any thread.

#include <cstdint>
#include <string>
#include <string_view>

namespace BriefText {

// A printed callback or list line in brief: fields whose value is zero or empty left out, and
// a quote (OnRealtimePrice) as "OnRealtimePrice EURUSD 1.0851/1.0853".
std::string Line(std::string_view line);

// "2026-12-09T06:34:08.412Z": `ms` after `start`, the capture header's "20261209-063408"; empty
// when `start` is not of that form.
std::string UtcTime(std::string_view start, std::uint64_t ms);

}  // namespace BriefText
