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

// An event carries one record, parsed into a list private to this message and then merged
// into the stores; the merge takes the locks it needs.
template <class Merge, class List>
wire::Result DispatchEvent(CForexProtocol& protocol, std::string_view body,
                           wire::Result (CForexProtocol::*parse)(std::string_view, List&)) {
    List records;
    const wire::Result result = (protocol.*parse)(body, records);
    if (result == wire::Result::Handled && records.GetSize() == 1) {
        const auto record = records[0];
        Merge(*protocol.GetDataCenter(), protocol.LastCommittedOrder).Apply(record);
    }
    return result;
}

// Fills one store under its lock.
template <class Store>
wire::Result ParseStore(CForexProtocol& protocol, std::string_view body, CCriticalSection& lock,
                        wire::Result (CForexProtocol::*parse)(std::string_view, Store&),
                        Store& store) {
    CScopedLock guard(lock);
    return (protocol.*parse)(body, store);
}

// Routes one complete message by code, under the lock of the store its parser fills.
wire::Result DispatchBody(CForexProtocol& protocol, int code, std::string_view body) {
    CDataCenterAccess center(*protocol.GetDataCenter());
    using P = CForexProtocol;
    switch (code) {
        case wire::kAccountInfo:
            return ParseStore(protocol, body, center.AccountInfoLock(), &P::ParseAccountInfo,
                              center.AccountInfo());
        case wire::kCurrencyList:
            return ParseStore(protocol, body, center.CurrencysLock(), &P::ParseCurrencysInfo,
                              center.Currencys());
        case wire::kInstrumentList:
            return ParseStore(protocol, body, center.ForexMerchsLock(), &P::ParseForexMerchs,
                              center.ForexMerchs());
        case wire::kBargainList:
            return ParseStore(protocol, body, center.BargainsLock(), &P::ParseBargainsInfo,
                              center.Bargains());
        case wire::kOrderList:
            return DispatchOrderList(protocol, body);
        case wire::kHistoryList:
            return ParseStore(protocol, body, center.HistoryOrdersLock(), &P::ParseHistoryOrderInfo,
                              center.HistoryOrders());
        case wire::kGroupInfo:
            return ParseStore(protocol, body, center.GroupLock(), &P::ParseGroupInfo,
                              center.Group());
        case wire::kBaseInfo:
            return ParseStore(protocol, body, center.BaseInfoLock(), &P::ParseBaseInfo,
                              center.BaseInfo());
        case wire::kQuotes:
            return protocol.ParseRealtimePrices(body);
        case wire::kBroadcast:
            return ParseStore(protocol, body, center.BroadCastLock(), &P::ParseBroadCast,
                              center.BroadCast());
        case wire::kErrorReport:
            return ParseStore(protocol, body, center.ErrorCodeLock(), &P::ParseErrorCode,
                              center.ErrorCode());
        case wire::kTextNotice:
            return protocol.ParseTextEvent(body);
        case wire::kLoginReply:
            protocol.ParseLoginReply(body);
            return wire::Result::Handled;
        case wire::kOrderEvent:
        case wire::kRefusalEvent:
        case wire::kRemovalEvent:
            return DispatchEvent<COrderMerge>(protocol, body, &P::ParseOrdersInfo);
        case wire::kDealEvent:
            return DispatchEvent<CDealMerge>(protocol, body, &P::ParseBargainsInfo);
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
