#include <algorithm>

#include "datacenter/DealMerge.h"
#include "datacenter/NotifySink.h"
#include "datacenter/OrderMerge.h"
#include "platform/NumberText.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"

namespace {

constexpr size_t kZeroFieldSize = 6;
constexpr int kTriggerPriceKind = 63;

bool Differs(float a, float b) {
    return a < b || a > b;
}

// A kind-63 order in the order list carries the trigger prices the server now holds for a
// bargain; the bargain list is brought in line with it. Only the first bargain of that number
// whose prices differ is changed. Returns whether any bargain changed.
bool SyncTriggerPrices(const COrderInfoArray& orders, CBargainArray& bargains) {
    bool changed = false;
    for (INT_PTR i = 0; i < orders.GetSize(); ++i) {
        const COrderInfo& order = orders[i];
        if (order.OrderKind != kTriggerPriceKind) {
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

int DispatchOrderList(CForexProtocol& protocol, std::string_view body) {
    CDataCenterAccess center(*protocol.GetDataCenter());
    CScopedLock orderGuard(center.OrdersLock());
    const int result = protocol.ParseOrdersInfo(body, center.Orders());
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
int DispatchOrderEvent(CForexProtocol& protocol, std::string_view body) {
    COrderInfoArray orders;
    const int result = protocol.ParseOrdersInfo(body, orders);
    if (result >= 1 && orders.GetSize() == 1) {
        const COrderInfo order = orders[0];
        COrderMerge(*protocol.GetDataCenter(), protocol.LastCommittedOrder).Apply(order);
    }
    return result;
}

int DispatchDealEvent(CForexProtocol& protocol, std::string_view body) {
    CBargainArray deals;
    const int result = protocol.ParseBargainsInfo(body, deals);
    if (result >= 1 && deals.GetSize() == 1) {
        const CBargain deal = deals[0];
        CDealMerge(*protocol.GetDataCenter(), protocol.LastCommittedOrder).Apply(deal);
    }
    return result;
}

// Routes one complete message by code, under the lock of the store its parser fills.
int DispatchBody(CForexProtocol& protocol, int code, std::string_view body) {
    CDataCenterAccess center(*protocol.GetDataCenter());
    switch (code) {
        case 9501: {
            CScopedLock guard(center.AccountInfoLock());
            return protocol.ParseAccountInfo(body, center.AccountInfo());
        }
        case 9505: {
            CScopedLock guard(center.CurrencysLock());
            return protocol.ParseCurrencysInfo(body, center.Currencys());
        }
        case 9511: {
            CScopedLock guard(center.ForexMerchsLock());
            return protocol.ParseForexMerchs(body, center.ForexMerchs());
        }
        case 9512: {
            CScopedLock guard(center.BargainsLock());
            return protocol.ParseBargainsInfo(body, center.Bargains());
        }
        case 9513:
            return DispatchOrderList(protocol, body);
        case 9514: {
            CScopedLock guard(center.HistoryOrdersLock());
            return protocol.ParseHistoryOrderInfo(body, center.HistoryOrders());
        }
        case 9515: {
            CScopedLock guard(center.GroupLock());
            return protocol.ParseGroupInfo(body, center.Group());
        }
        case 9516: {
            CScopedLock guard(center.BaseInfoLock());
            return protocol.ParseBaseInfo(body, center.BaseInfo());
        }
        case 9518:
            return protocol.ParseRealtimePrices(body);
        case 9524: {
            CScopedLock guard(center.BroadCastLock());
            return protocol.ParseBroadCast(body, center.BroadCast());
        }
        case 9999: {
            CScopedLock guard(center.ErrorCodeLock());
            return protocol.ParseErrorCode(body, center.ErrorCode());
        }
        case 9002:
            return protocol.ParseTextEvent(body);
        case 8000:
            protocol.ParseLoginReply(body);
            return 1;
        case 7002:
        case 7004:
        case 7005:
            return DispatchOrderEvent(protocol, body);
        case 7003:
            return DispatchDealEvent(protocol, body);
        default:
            return 1;  // 9517 and every code nobody handles
    }
}

}  // namespace

int CForexProtocol::DeclaredLength(std::string_view header) {
    return ParseAtoi(header.substr(0, kLengthFieldSize));
}

int CForexProtocol::Dispatch(std::string_view message) {
    const size_t messageSize = message.size();
    CByteCursor cursor(message);
    std::string_view header = cursor.Cut(CByteCursor::kHeaderEnd);
    const std::string_view body = cursor.Rest();

    const int declaredLength = DeclaredLength(header);
    header.remove_prefix(std::min(header.size(), kLengthFieldSize));
    header.remove_prefix(std::min(header.size(), kZeroFieldSize));  // read and ignored
    if (static_cast<long long>(messageSize) < declaredLength) {
        return 0;
    }
    if (m_pDataCenter == nullptr) {
        return -1;
    }
    return DispatchBody(*this, ParseAtoi(header), body);
}
