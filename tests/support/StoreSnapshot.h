#pragma once
// A text picture of every store of a data center, read through the getters the way a terminal
// reads them, so two runs can be compared store by store. Callable from any thread.

#include <string>
#include <vector>

#include "tradewire/ForexDataCenter.h"

// One line per store in the recording sink's formats (account, instruments, one line per quote,
// currencies, deals, orders, history, group, base, broadcast, error code), then the account's own
// instruments. Tests may pick lines by position.
std::vector<std::string> StoreSnapshot(CForexDataCenter& center);
