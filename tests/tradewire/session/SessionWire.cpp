#include "SessionWire.h"

#include "WireBuilder.h"
#include "vocabulary/WideText.h"

namespace {

// The session's texts are ASCII, which every codeset writes as itself.
std::string Narrow(const CString& text) {
    std::string out;
    for (wchar_t ch : WideView(text)) {
        out += static_cast<char>(ch);
    }
    return out;
}

CWireBody& Number(CWireBody& body, float value) {
    return body.Num(static_cast<double>(value));
}

}  // namespace

std::string LoginReplyLine() {
    return InboundLine(8000, "");
}

std::string AccountLine(const char* accountCode, double balance, int internalNo) {
    CWireBody body;
    body.Text(accountCode).EndSection();
    body.Empty(45).EndSection();
    body.Num(balance).Empty(13).EndRecord().EndSection();
    body.EndSection().EndSection();  // no account instruments; block 5 is never read
    body.Int(internalNo).EndSection();
    return InboundLine(9501, body);
}

std::string InstrumentsLine(const std::vector<SessionInstrument>& instruments) {
    CWireBody body;
    for (const SessionInstrument& merch : instruments) {
        body.Text(merch.code).Int(1).Text(merch.code).Empty(3);
        Number(body, merch.profitFactor).Empty(7);
        Number(body, merch.minSpread).Empty(2);
        Number(body, merch.priceUnit);
        Number(body, merch.profitDivisor).Empty(2);
        Number(body, merch.bid);
        Number(body, merch.ask).Empty(88 - 23).EndRecord();
    }
    return InboundLine(9511, body);
}

std::string CurrenciesLine(const std::vector<CCurrency>& currencies) {
    CWireBody body;
    for (const CCurrency& currency : currencies) {
        body.Text(Narrow(currency.CurrencyCode)).Empty(3);
        Number(body, currency.UsdRate).Empty(3).EndRecord();
    }
    return InboundLine(9505, body);
}

std::string BaseInfoLine(float baseRateSwitch) {
    CWireBody body;
    body.Empty(24).EndRecord().Empty(7);
    Number(body, baseRateSwitch).Empty(20);
    return InboundLine(9516, body);
}

std::string QuotesLine(const std::vector<std::vector<SessionQuote>>& sections) {
    CWireBody body;
    for (const std::vector<SessionQuote>& section : sections) {
        for (const SessionQuote& quote : section) {
            body.Text(quote.code);
            Number(body, quote.bid);
            Number(body, quote.ask).Text(quote.stamp).Num(0).Num(0).EndRecord();
        }
        body.EndSection();
    }
    return InboundLine(9518, body);
}

std::string OrderEventLine(int code, const COrderInfo& o) {
    CWireBody body;
    body.Text(Narrow(o.AccountCode)).Text(Narrow(o.MerchCode)).Text(Narrow(o.Value3));
    body.Int(o.InternalNo).Text(Narrow(o.Value5)).Int(o.OrderNo).Int(o.BargainNo);
    body.Int(o.OrderKind).Text(Narrow(o.Value9)).Int(o.Value10).Int(o.Value11).Int(o.Value12);
    body.Int(o.CloseFlag);
    for (float value :
         {o.Value14, o.Value15, o.Value16, o.TriggerPrice1, o.TriggerPrice2, o.Value19, o.Value20,
          o.Value21, o.Value22, o.Value23, o.Value24, o.Value25, o.Value26, o.Value27}) {
        Number(body, value);
    }
    body.Text(Narrow(o.Value28));
    for (float value : {o.Value29, o.Value30, o.Value31}) {
        Number(body, value);
    }
    body.EndRecord();
    return InboundLine(code, body);
}

std::string DealEventLine(const CBargain& b) {
    CWireBody body;
    body.Text(Narrow(b.Value1)).Text(Narrow(b.MerchCode)).Text(Narrow(b.Value3));
    body.Text(Narrow(b.Value4)).Int(b.BargainNo).Int(b.OpenBargainNo).Int(b.InternalNo);
    body.Text(Narrow(b.Value8)).Text(Narrow(b.Value9)).Int(b.Direction).Int(b.CloseFlag);
    for (float value : {b.Lots, b.Price, b.TriggerPrice1, b.TriggerPrice2, b.Value16, b.Charge,
                        b.Credit, b.Value19, b.Value20, b.Value21}) {
        Number(body, value);
    }
    body.EndRecord();
    return InboundLine(7003, body);
}

COrderInfo SessionRequest(int kind, int internalNo) {
    COrderInfo order;
    order.AccountCode = L"ACC1";
    order.MerchCode = L"EURUSD";
    order.InternalNo = internalNo;
    order.OrderKind = kind;
    return order;
}

CBargain SessionDeal(int bargainNo, int internalNo, int direction, float lots, float price) {
    CBargain deal;
    deal.MerchCode = L"EURUSD";
    deal.BargainNo = bargainNo;
    deal.InternalNo = internalNo;
    deal.Direction = direction;
    deal.Lots = lots;
    deal.Price = price;
    return deal;
}

CBargain ClosingDeal(const CBargain& opened, int bargainNo, int internalNo, float price) {
    CBargain closing = opened;
    closing.BargainNo = bargainNo;
    closing.OpenBargainNo = opened.BargainNo;
    closing.InternalNo = internalNo;
    closing.CloseFlag = 1;
    closing.Price = price;
    return closing;
}

COrderInfo WithTriggers(COrderInfo order, int orderNo, float trigger1, float trigger2) {
    order.OrderNo = orderNo;
    order.TriggerPrice1 = trigger1;
    order.TriggerPrice2 = trigger2;
    return order;
}

std::vector<std::string> LoginLines() {
    CCurrency euro;
    euro.CurrencyCode = L"EUR";
    euro.UsdRate = 1.1f;
    CCurrency dollar;
    dollar.CurrencyCode = L"USD";
    dollar.UsdRate = 1;
    return {LoginReplyLine(), AccountLine("ACC1", 5000, 100),
            InstrumentsLine({{"EURUSD", 0.25f, 3, 2, 0.0003f, 1.2f, 1.2001f},
                             {"USDJPY", 0.01f, 1, 1, 0.02f, 110, 110.02f}}),
            CurrenciesLine({euro, dollar}), BaseInfoLine(0.5f)};
}
