#pragma once
// A text picture of every store of a data center, read through the getters the way a terminal
// reads them, so two runs can be compared store by store. Callable from any thread.

#include <string>
#include <vector>

#include "tradewire/ForexDataCenter.h"

// One line per store (in the recording sink's formats), the account's own instruments after the
// account, then one line per quote.
std::vector<std::string> StoreSnapshot(CForexDataCenter& center);
