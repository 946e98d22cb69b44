#pragma once
// The history line that records a closed deal: the closing deal `closing`, a copy of the
// position `open` as it was before the close, and the profit in dollars. A pure function.

#include "tradewire/Records.h"

CHistoryOrderInfo MakeHistoryLine(const CBargain& closing, const CBargain& open, float profit);
