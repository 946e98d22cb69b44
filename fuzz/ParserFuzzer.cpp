// Each parser family on its own, without the dispatcher: the first byte picks the family, the
// rest is a message body. Every parser of the family reads the same body into a store of its
// own and then into the data center's (so a refill over earlier contents is covered too), with
// the busy sink listening.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzSink.h"
#include "datacenter/DataCenterAccess.h"
#include "protocol/ForexProtocol.h"
#include "vocabulary/WireVocabulary.h"

namespace {

enum EFamily : std::uint8_t {
    kAccount,      // login reply, error report, account
    kInstruments,  // instruments and currencies
    kNotices,      // text notice and broadcast
    kTradeLists,   // deals and orders
    kReference,    // history, group and base information
    kQuotes,       // real-time quotes
    kFamilyCount
};

// Parsers answer Handled or NothingRead; Incomplete is the dispatcher's alone, and a parser
// giving it would make the framing keep and join a message that was already read.
void Expect(wire::Result result) {
    if (result != wire::Result::Handled && result != wire::Result::NothingRead) {
        std::abort();
    }
}

// Quotes are only stored in instruments the data center knows.
void KnowInstruments(CForexDataCenter& center) {
    CDataCenterAccess access(center);
    CScopedLock guard(access.ForexMerchsLock());
    for (const wchar_t* code : {L"EURUSD", L"GBPUSD", L"USDJPY", L"XAUUSD", L""}) {
        CForexMerch merch;
        merch.MerchCode = code;
        access.ForexMerchs().Add(merch);
    }
}

void ParseAccountFamily(CForexProtocol& protocol, CDataCenterAccess& center,
                        std::string_view body) {
    Expect(protocol.ParseLoginReply(body));
    E_ErrorCode error = EC_NoError;
    Expect(protocol.ParseErrorCode(body, error));
    CAccountInfo account;
    Expect(protocol.ParseAccountInfo(body, account));
    CScopedLock guard(center.AccountInfoLock());
    Expect(protocol.ParseAccountInfo(body, center.AccountInfo()));
}

void ParseInstrumentFamily(CForexProtocol& protocol, CDataCenterAccess& center,
                           std::string_view body) {
    CForexMerchArray merchs;
    Expect(protocol.ParseForexMerchs(body, merchs));
    CCurrencyArray currencys;
    Expect(protocol.ParseCurrencysInfo(body, currencys));
    {
        CScopedLock guard(center.ForexMerchsLock());
        Expect(protocol.ParseForexMerchs(body, center.ForexMerchs()));
    }
    CScopedLock guard(center.CurrencysLock());
    Expect(protocol.ParseCurrencysInfo(body, center.Currencys()));
}

void ParseNoticeFamily(CForexProtocol& protocol, CDataCenterAccess& center, std::string_view body) {
    Expect(protocol.ParseTextEvent(body));
    CBroadCast broadCast;
    Expect(protocol.ParseBroadCast(body, broadCast));
    CScopedLock guard(center.BroadCastLock());
    Expect(protocol.ParseBroadCast(body, center.BroadCast()));
}

void ParseTradeListFamily(CForexProtocol& protocol, CDataCenterAccess& center,
                          std::string_view body) {
    CBargainArray bargains;
    Expect(protocol.ParseBargainsInfo(body, bargains));
    COrderInfoArray orders;
    Expect(protocol.ParseOrdersInfo(body, orders));
    CScopedLock orderGuard(center.OrdersLock());
    Expect(protocol.ParseOrdersInfo(body, center.Orders()));
    CScopedLock bargainGuard(center.BargainsLock());
    Expect(protocol.ParseBargainsInfo(body, center.Bargains()));
}

void ParseReferenceFamily(CForexProtocol& protocol, CDataCenterAccess& center,
                          std::string_view body) {
    CHistoryOrderInfoArray history;
    Expect(protocol.ParseHistoryOrderInfo(body, history));
    CGroup group;
    Expect(protocol.ParseGroupInfo(body, group));
    CBaseInfo baseInfo;
    Expect(protocol.ParseBaseInfo(body, baseInfo));
    {
        CScopedLock guard(center.HistoryOrdersLock());
        Expect(protocol.ParseHistoryOrderInfo(body, center.HistoryOrders()));
    }
    {
        CScopedLock guard(center.GroupLock());
        Expect(protocol.ParseGroupInfo(body, center.Group()));
    }
    CScopedLock guard(center.BaseInfoLock());
    Expect(protocol.ParseBaseInfo(body, center.BaseInfo()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto family = static_cast<EFamily>(data[0] % kFamilyCount);
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);

    CForexProtocol protocol(nullptr);
    CFuzzSink sink(protocol);
    protocol.GetDataCenter()->SetNotify(&sink);
    CDataCenterAccess center(*protocol.GetDataCenter());
    switch (family) {
        case kAccount:
            ParseAccountFamily(protocol, center, body);
            break;
        case kInstruments:
            ParseInstrumentFamily(protocol, center, body);
            break;
        case kNotices:
            ParseNoticeFamily(protocol, center, body);
            break;
        case kTradeLists:
            ParseTradeListFamily(protocol, center, body);
            break;
        case kReference:
            ParseReferenceFamily(protocol, center, body);
            break;
        case kQuotes:
            KnowInstruments(*protocol.GetDataCenter());
            Expect(protocol.ParseRealtimePrices(body));
            break;
        case kFamilyCount:
            break;
    }
    protocol.GetDataCenter()->UnSetNotify();
    return 0;
}
