#include <algorithm>

#include "datacenter/DealMerge.h"
#include "datacenter/NotifySink.h"
#include "datacenter/OrderMerge.h"
#include "platform/NumberText.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"

namespace {

bool Differs(float a, float b) {
    return a < b || a > b;
}

// A kSetTriggers order in the order list carries the trigger prices the server now holds for a
// bargain; the bargain list is brought in line with it. Only the first bargain of that number
// whose prices differ is changed. Returns whether any bargain changed.
bool SyncTriggerPrices(const COrderInfoArray& orders, CBargainArray& bargains) {
    bool changed = false;
    for (INT_PTR i = 0; i < orders.GetSize(); ++i) {
        const COrderInfo& order = orders[i];
        if (order.OrderKind != wire::kSetTriggers) {
            continue;
        }
        for (INT_PTR j = 0; j < bargains.GetSize(); ++j) {
            CBargain& bargain = bargains[j];
            if (bargain.BargainNo != order.BargainNo) {
                continue;
            }
            if (Differs(order.TriggerPrice1, bargain.TriggerPrice1) ||
                Differs(order.TriggerPrice2, bargain.TriggerPrice2)) {
                bargain.TriggerPrice1 = order.TriggerPrice1;
                bargain.TriggerPrice2 = order.TriggerPrice2;
                changed = true;
                break;
            }
        }
    }
    return changed;
}

wire::Result DispatchOrderList(CForexProtocol& protocol, std::string_view body) {
    CDataCenterAccess center(*protocol.GetDataCenter());
    CScopedLock orderGuard(center.OrdersLock());
    const wire::Result result = protocol.ParseOrdersInfo(body, center.Orders());
    bool changed = false;
    {
        CScopedLock bargainGuard(center.BargainsLock());
        if (!center.Bargains().IsEmpty()) {
            changed = SyncTriggerPrices(center.Orders(), center.Bargains());
        }
    }
    if (changed) {
        NotifySink(center.Notify(),
                   [&](CAbsForexNotify& sink) { sink.OnBargainsInfo(center.Bargains()); });
    }
    return result;
}

// The event's own list is private to this message; the merge takes the locks it needs.
wire::Result DispatchOrderEvent(CForexProtocol& protocol, std::string_view body) {
    COrderInfoArray orders;
    const wire::Result result = protocol.ParseOrdersInfo(body, orders);
    if (result == wire::Result::Handled && orders.GetSize() == 1) {
        const COrderInfo order = orders[0];
        COrderMerge(*protocol.GetDataCenter(), protocol.LastCommittedOrder).Apply(order);
    }
    return result;
}

wire::Result DispatchDealEvent(CForexProtocol& protocol, std::string_view body) {
    CBargainArray deals;
    const wire::Result result = protocol.ParseBargainsInfo(body, deals);
    if (result == wire::Result::Handled && deals.GetSize() == 1) {
        const CBargain deal = deals[0];
        CDealMerge(*protocol.GetDataCenter(), protocol.LastCommittedOrder).Apply(deal);
    }
    return result;
}

// Routes one complete message by code, under the lock of the store its parser fills.
wire::Result DispatchBody(CForexProtocol& protocol, int code, std::string_view body) {
    CDataCenterAccess center(*protocol.GetDataCenter());
    switch (code) {
        case wire::kAccountInfo: {
            CScopedLock guard(center.AccountInfoLock());
            return protocol.ParseAccountInfo(body, center.AccountInfo());
        }
        case wire::kCurrencyList: {
            CScopedLock guard(center.CurrencysLock());
            return protocol.ParseCurrencysInfo(body, center.Currencys());
        }
        case wire::kInstrumentList: {
            CScopedLock guard(center.ForexMerchsLock());
            return protocol.ParseForexMerchs(body, center.ForexMerchs());
        }
        case wire::kBargainList: {
            CScopedLock guard(center.BargainsLock());
            return protocol.ParseBargainsInfo(body, center.Bargains());
        }
        case wire::kOrderList:
            return DispatchOrderList(protocol, body);
        case wire::kHistoryList: {
            CScopedLock guard(center.HistoryOrdersLock());
            return protocol.ParseHistoryOrderInfo(body, center.HistoryOrders());
        }
        case wire::kGroupInfo: {
            CScopedLock guard(center.GroupLock());
            return protocol.ParseGroupInfo(body, center.Group());
        }
        case wire::kBaseInfo: {
            CScopedLock guard(center.BaseInfoLock());
            return protocol.ParseBaseInfo(body, center.BaseInfo());
        }
        case wire::kQuotes:
            return protocol.ParseRealtimePrices(body);
        case wire::kBroadcast: {
            CScopedLock guard(center.BroadCastLock());
            return protocol.ParseBroadCast(body, center.BroadCast());
        }
        case wire::kErrorReport: {
            CScopedLock guard(center.ErrorCodeLock());
            return protocol.ParseErrorCode(body, center.ErrorCode());
        }
        case wire::kTextNotice:
            return protocol.ParseTextEvent(body);
        case wire::kLoginReply:
            protocol.ParseLoginReply(body);
            return wire::Result::Handled;
        case wire::kOrderEvent:
        case wire::kRefusalEvent:
        case wire::kRemovalEvent:
            return DispatchOrderEvent(protocol, body);
        case wire::kDealEvent:
            return DispatchDealEvent(protocol, body);
        default:
            return wire::Result::Handled;  // 9517 and every code nobody handles
    }
}

}  // namespace

int CForexProtocol::DeclaredLength(std::string_view header) {
    return ParseAtoi(header.substr(0, wire::kLengthFieldSize));
}

int CForexProtocol::DispatchCode(std::string_view message) {
    CByteCursor cursor(message);
    std::string_view header = cursor.Cut(wire::kHeaderEnd);
    if (static_cast<long long>(message.size()) < DeclaredLength(header)) {
        return -1;
    }
    header.remove_prefix(std::min(header.size(), wire::kLengthFieldSize + wire::kZeroFieldSize));
    const int code = ParseAtoi(header);
    return code < 0 ? 0 : code;
}

wire::Result CForexProtocol::Dispatch(std::string_view message) {
    const size_t messageSize = message.size();
    CByteCursor cursor(message);
    std::string_view header = cursor.Cut(wire::kHeaderEnd);
    const std::string_view body = cursor.Rest();

    const int declaredLength = DeclaredLength(header);
    header.remove_prefix(std::min(header.size(), wire::kLengthFieldSize));
    header.remove_prefix(std::min(header.size(), wire::kZeroFieldSize));  // read and ignored
    if (static_cast<long long>(messageSize) < declaredLength) {
        return wire::Result::Incomplete;
    }
    if (m_pDataCenter == nullptr) {
        return wire::Result::NothingRead;
    }
    return DispatchBody(*this, ParseAtoi(header), body);
}
