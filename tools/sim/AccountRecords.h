#pragma once
// The records an account's positions and pending orders go out as, the same in a list message
// (9512, 9513) and in an event that answers a request. `digits` is the instrument's price
// precision. Plain functions over values; the caller holds whatever guards the account.

#include "Account.h"
#include "SimRecords.h"

namespace sim {

DealRecord OpeningDealOf(const Account& account, const Position& position, int digits);
OrderRecord OrderRecordOf(const Account& account, const PendingOrder& pending, int digits);

}  // namespace sim
