#pragma once
// Every floating number a terminal can read from a data center, through every getter, checked
// for NaN and infinity. Each offending field is named like "history[0].Charge" or
// "account.Merchs[1].RealtimePrice.Ask", so a test can say which ones it expects.

#include <string>
#include <vector>

#include "tradewire/ForexDataCenter.h"

std::vector<std::string> NonFiniteNumbers(CForexDataCenter& center);
