#include "AccountRecords.h"

namespace sim {

DealRecord OpeningDealOf(const Account& account, const Position& position, int digits) {
    DealRecord deal;
    deal.account = account.code;
    deal.merch = position.merch;
    deal.source = position.source;
    deal.bargainNo = position.bargainNo;
    deal.internalNo = position.internalNo;
    deal.stamp = position.opened;
    deal.side = position.side;
    deal.lots = position.lots;
    deal.price = position.price;
    deal.stopLoss = position.stopLoss;
    deal.takeProfit = position.takeProfit;
    deal.digits = digits;
    return deal;
}

OrderRecord OrderRecordOf(const Account& account, const PendingOrder& pending, int digits) {
    OrderRecord order;
    order.account = account.code;
    order.merch = pending.merch;
    order.stamp = pending.placed;
    order.internalNo = pending.internalNo;
    order.orderNo = pending.orderNo;
    order.kind = pending.kind;
    order.side = tradewire::SideOfPendingKind(pending.kind);
    order.lotsHundredths = pending.lotsHundredths;
    order.price = pending.price;
    order.stopLoss = pending.stopLoss;
    order.takeProfit = pending.takeProfit;
    order.digits = digits;
    return order;
}

}  // namespace sim
