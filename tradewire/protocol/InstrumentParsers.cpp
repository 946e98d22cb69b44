// The instrument list (9511, and block 4 of the account message) and the currency list (9505).

#include <cmath>

#include "datacenter/NotifySink.h"
#include "datacenter/QuoteIndex.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"
#include "protocol/MinimumSpread.h"
#include "protocol/ProtocolSink.h"
#include "protocol/RecordList.h"

namespace {

void ReadForexMerch(CByteCursor& fields, CForexMerch& merch) {
    fields.CutInto(merch.MerchCode, merch.MerchNo, merch.MerchName, merch.Value4, merch.Value5,
                   merch.Value6, merch.ProfitFactor, merch.Value8, merch.Value9, merch.Value10,
                   merch.Value11, merch.Value12, merch.Value13, merch.Value14, merch.MinSpread,
                   merch.Value16, merch.Value17, merch.PriceUnit, merch.ProfitDivisor,
                   merch.Value20, merch.Value21, merch.FirstBid, merch.FirstAsk, merch.FirstPrice3,
                   merch.FirstPrice4, merch.Value26, merch.Value27, merch.Value28, merch.Value29);
    merch.Value30 = static_cast<float>(fields.CutInt());  // an integer on the wire
    fields.CutInto(merch.Value31, merch.Value32, merch.Value33, merch.Value34, merch.Value35,
                   merch.Value36, merch.Value37);
    merch.Value38 = static_cast<float>(fields.CutInt());  // an integer on the wire
    fields.CutInto(merch.Value39, merch.Value40, merch.Value41, merch.Value42, merch.Value43,
                   merch.Value44, merch.Value45, merch.Value46, merch.Value47, merch.Value48,
                   merch.Value49, merch.Value50, merch.Value51, merch.Value52, merch.Value53,
                   merch.Value54, merch.Value55, merch.Value56, merch.Value57, merch.Value58,
                   merch.Value59, merch.Value60);
}

// The first quote comes with the instrument; its ask is pushed out to at least the minimum
// spread, so a terminal never shows an ask below the bid or inside the allowed spread.
void SetFirstQuote(CForexMerch& merch, float minimumSpread) {
    CForexRealtimePrice& quote = merch.RealtimePrice;
    quote.Bid = merch.FirstBid;
    quote.Ask = merch.FirstAsk;
    quote.Price3 = merch.FirstPrice3;
    quote.Price4 = merch.FirstPrice4;
    // Beyond the float range the sum is an infinity; the ask then stays as the server sent it.
    const float widened = quote.Bid + minimumSpread;
    if (widened > quote.Ask && std::isfinite(widened)) {
        quote.Ask = widened;
    }
}

void ReadCurrency(CByteCursor& fields, CCurrency& currency) {
    fields.CutInto(currency.CurrencyCode, currency.Value2, currency.Value3, currency.Value4,
                   currency.UsdRate, currency.Value6, currency.Value7, currency.Value8);
}

}  // namespace

wire::Result CForexProtocol::ParseForexMerchs(std::string_view body, CForexMerchArray& merchs) {
    if (body.empty() || m_pDataCenter == nullptr) {
        return wire::Result::NothingRead;
    }
    CDataCenterAccess center(*m_pDataCenter);
    merchs.SetSize(0);
    // Built after the list was emptied, so lookups see exactly the instruments appended so far.
    CMinimumSpreadIndex spreads(center);
    const bool fillsCenterList = &merchs == &center.ForexMerchs();
    const bool fillsAccountList = &merchs == &center.AccountInfo().Merchs;

    CByteCursor records(body);
    records.ForEach(wire::kRecordEnd, [&](CByteCursor& fields) {
        CForexMerch merch;
        ReadForexMerch(fields, merch);
        SetFirstQuote(merch, spreads.Find(merch.MerchCode));
        merchs.Add(merch);
        if (fillsCenterList) {
            spreads.AddCenterMerch(merch);
        }
        if (fillsAccountList) {
            spreads.AddAccountMerch(merch);
        }
    });
    // The sink is handed the list itself and may change it, so the quote index is built
    // afresh from whatever the list holds when it is next asked.
    const bool quotesLookHere = fillsCenterList || fillsAccountList;
    if (quotesLookHere) {
        CQuoteIndex::InvalidateFor(*m_pDataCenter);
    }
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnForexMerchs(merchs); });
    if (quotesLookHere) {
        CQuoteIndex::InvalidateFor(*m_pDataCenter);
    }
    return wire::Result::Handled;
}

wire::Result CForexProtocol::ParseCurrencysInfo(std::string_view body, CCurrencyArray& currencys) {
    if (body.empty()) {
        return wire::Result::NothingRead;
    }
    ReplaceRecords(body, currencys, ReadCurrency);
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnCurrencysInfo(currencys); });
    return wire::Result::Handled;
}
