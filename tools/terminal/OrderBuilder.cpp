#include "OrderBuilder.h"

#include <cmath>

namespace term {

namespace {

COrderInfo Base(const CString& account, const CString& merch, int kind, int internalNo) {
    COrderInfo order;
    order.AccountCode = account;
    order.MerchCode = merch;
    order.OrderKind = kind;
    order.InternalNo = internalNo;
    order.Value10 = tradewire::kNoSide;
    order.Value28 = L"tradewire-term";
    return order;
}

void SetTriggers(COrderInfo& order, const CForexMerch& merch, double stopLoss, double takeProfit) {
    order.TriggerPrice1 = static_cast<float>(ToPoints(stopLoss, merch.PriceUnit));
    order.TriggerPrice2 = static_cast<float>(ToPoints(takeProfit, merch.PriceUnit));
}

}  // namespace

double ToPoints(double price, double priceUnit) {
    if (price <= 0 || priceUnit <= 0) {
        return 0;
    }
    return std::round(price / priceUnit);
}

COrderInfo BuildMarketOrder(const Command& command, const CString& account,
                            const CForexMerch& merch, int internalNo) {
    COrderInfo order = Base(account, merch.MerchCode, tradewire::kOpenMarket, internalNo);
    order.Value10 = command.kind == CommandKind::Sell ? tradewire::kSell : tradewire::kBuy;
    order.Value11 = command.lotsHundredths;
    SetTriggers(order, merch, command.stopLoss, command.takeProfit);
    return order;
}

COrderInfo BuildCloseOrder(const CBargain& position, int lotsHundredths, const CString& account,
                           int internalNo) {
    COrderInfo order = Base(account, position.MerchCode, tradewire::kCloseMarket, internalNo);
    order.BargainNo = position.BargainNo;
    order.Value10 = tradewire::OppositeSide(position.Direction);
    order.Value11 = lotsHundredths;
    order.CloseFlag = tradewire::kClosesPosition;
    return order;
}

COrderInfo BuildTriggerOrder(const CBargain& position, const CForexMerch& merch, double stopLoss,
                             double takeProfit, const CString& account, int internalNo) {
    COrderInfo order = Base(account, position.MerchCode, tradewire::kSetTriggers, internalNo);
    order.BargainNo = position.BargainNo;
    SetTriggers(order, merch, stopLoss, takeProfit);
    return order;
}

COrderInfo BuildPendingOrder(const Command& command, const CString& account,
                             const CForexMerch& merch, int internalNo) {
    COrderInfo order = Base(account, merch.MerchCode, command.pendingKind, internalNo);
    order.Value10 = tradewire::SideOfPendingKind(command.pendingKind);
    order.Value11 = command.lotsHundredths;
    order.Value14 = static_cast<float>(ToPoints(command.price, merch.PriceUnit));
    SetTriggers(order, merch, command.stopLoss, command.takeProfit);
    return order;
}

COrderInfo BuildChangeOrder(const COrderInfo& pending, const CForexMerch& merch,
                            const Command& command, const CString& account, int internalNo) {
    COrderInfo order = Base(account, pending.MerchCode, tradewire::kChangeOrder, internalNo);
    order.OrderNo = pending.OrderNo;
    order.Value14 = static_cast<float>(ToPoints(command.price, merch.PriceUnit));
    SetTriggers(order, merch, command.stopLoss, command.takeProfit);
    return order;
}

COrderInfo BuildDeleteOrder(const COrderInfo& pending, const CString& account, int internalNo) {
    COrderInfo order = Base(account, pending.MerchCode, tradewire::kDeleteOrder, internalNo);
    order.OrderNo = pending.OrderNo;
    return order;
}

}  // namespace term
