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

// One parser twice over the same body: into a store of its own, then into the data center's
// under that store's lock, so a refill over earlier contents is covered too.
template <class RESULT, class STORE>
void ParseTwice(CForexProtocol& protocol, RESULT (CForexProtocol::*parse)(std::string_view, STORE&),
                std::string_view body, STORE& shared, CCriticalSection& lock) {
    STORE own;
    Expect((protocol.*parse)(body, own));
    CScopedLock guard(lock);
    Expect((protocol.*parse)(body, shared));
}

void ParseAccountFamily(CForexProtocol& protocol, CDataCenterAccess& center,
                        std::string_view body) {
    Expect(protocol.ParseLoginReply(body));
    E_ErrorCode error = EC_NoError;
    Expect(protocol.ParseErrorCode(body, error));
    ParseTwice(protocol, &CForexProtocol::ParseAccountInfo, body, center.AccountInfo(),
               center.AccountInfoLock());
}

void ParseInstrumentFamily(CForexProtocol& protocol, CDataCenterAccess& center,
                           std::string_view body) {
    ParseTwice(protocol, &CForexProtocol::ParseForexMerchs, body, center.ForexMerchs(),
               center.ForexMerchsLock());
    ParseTwice(protocol, &CForexProtocol::ParseCurrencysInfo, body, center.Currencys(),
               center.CurrencysLock());
}

void ParseNoticeFamily(CForexProtocol& protocol, CDataCenterAccess& center, std::string_view body) {
    Expect(protocol.ParseTextEvent(body));
    ParseTwice(protocol, &CForexProtocol::ParseBroadCast, body, center.BroadCast(),
               center.BroadCastLock());
}

void ParseTradeListFamily(CForexProtocol& protocol, CDataCenterAccess& center,
                          std::string_view body) {
    ParseTwice(protocol, &CForexProtocol::ParseOrdersInfo, body, center.Orders(),
               center.OrdersLock());
    ParseTwice(protocol, &CForexProtocol::ParseBargainsInfo, body, center.Bargains(),
               center.BargainsLock());
}

void ParseReferenceFamily(CForexProtocol& protocol, CDataCenterAccess& center,
                          std::string_view body) {
    ParseTwice(protocol, &CForexProtocol::ParseHistoryOrderInfo, body, center.HistoryOrders(),
               center.HistoryOrdersLock());
    ParseTwice(protocol, &CForexProtocol::ParseGroupInfo, body, center.Group(), center.GroupLock());
    ParseTwice(protocol, &CForexProtocol::ParseBaseInfo, body, center.BaseInfo(),
               center.BaseInfoLock());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto family = static_cast<EFamily>(data[0] % kFamilyCount);
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);

    CForexProtocol protocol;
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
