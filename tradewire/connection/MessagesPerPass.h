#pragma once
// How many messages one processing pass may dispatch, from TRADEWIRE_MESSAGES_PER_PASS. The
// default of one message every 30 ms keeps callbacks as sparse as terminals have always seen
// them; a terminal facing a busy feed asks for more so that replies do not wait behind old
// quotes. Safe to call from any thread.

#include <string_view>

namespace MessagesPerPass {

constexpr int kDefault = 1;
constexpr int kMost = 1024;

// The count the variable's text asks for: kDefault when the text is empty, not a whole number
// (leading or trailing text included), zero or negative; kMost when above it.
int FromText(std::string_view text);
// The variable as it is now, read through FromText.
int FromEnvironment();

}  // namespace MessagesPerPass
