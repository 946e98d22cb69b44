#pragma once
// What an open position would earn if it were closed at the stored quote, in US dollars, by the
// rule the library applies to a closing deal: so the positions table and the balance after a
// close agree. Reads only the records passed in; any thread.

#include <tradewire/Tradewire.h>

namespace term {

struct MarketCopy {
    CForexMerchArray merchs;
    CCurrencyArray currencys;
    CBaseInfo baseInfo;
};

// The price the position would close at: the bid for a buy, the ask for a sell; 0 with no quote.
double ClosingPrice(const CBargain& position, const CForexMerch& merch);
// 0 when the market lacks what the conversion to dollars needs.
double FloatingProfit(const CBargain& position, const CForexMerch& merch, const MarketCopy& market);

}  // namespace term
