#pragma once
// Turns the terminal's commands into the COrderInfo that CommitBill sends. Our server
// conventions: the kind in OrderKind; the side (tradewire::kBuy, tradewire::kSell) in Value10; lots
// in hundredths in Value11; CloseFlag 1 on a close (the client applies the closing deal only then);
// the order price in Value14 and stop loss / take profit in TriggerPrice1 / TriggerPrice2, all
// three as whole numbers of the instrument's PriceUnit, because the request sends floating fields
// without decimals.

#include <tradewire/Tradewire.h>

#include "CommandParser.h"
#include "vocabulary/WireVocabulary.h"

namespace term {

// price / unit rounded to a whole number; 0 stays 0.
double ToPoints(double price, double priceUnit);

COrderInfo BuildMarketOrder(const Command& command, const CString& account,
                            const CForexMerch& merch, int internalNo);
COrderInfo BuildCloseOrder(const CBargain& position, int lotsHundredths, const CString& account,
                           int internalNo);
COrderInfo BuildTriggerOrder(const CBargain& position, const CForexMerch& merch, double stopLoss,
                             double takeProfit, const CString& account, int internalNo);
COrderInfo BuildPendingOrder(const Command& command, const CString& account,
                             const CForexMerch& merch, int internalNo);
COrderInfo BuildChangeOrder(const COrderInfo& order, const CForexMerch& merch,
                            const Command& command, const CString& account, int internalNo);
COrderInfo BuildDeleteOrder(const COrderInfo& order, const CString& account, int internalNo);

}  // namespace term
