#pragma once
// The dollar profit of a closing deal, computed the way the client computes it when it
// applies the deal, so that the balance we keep and the balance the client shows agree.

#include "Market.h"

namespace sim {

// closeSide is the side of the closing deal; lots are the lots it closes. baseRateSwitch is
// the base-information figure that chooses how dollar-based pairs convert. 0 when the market
// lacks what the conversion needs.
double ProfitInDollars(const Market& market, const Instrument& instrument, int closeSide,
                       double openPrice, double closePrice, double lots, double baseRateSwitch);

}  // namespace sim
