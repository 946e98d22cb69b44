#include "NonFiniteSession.h"

#include "WireBuilder.h"

namespace {

CWireBody& Repeat(CWireBody& body, int count, const char* text) {
    for (int i = 0; i < count; ++i) {
        body.Text(text);
    }
    return body;
}

std::string AccountLine() {
    CWireBody body;
    body.Text("HOSTILE").EndSection();
    Repeat(body, 45, "-inf").EndSection();
    body.Text("nan");
    Repeat(body, 12, "inf").Text("fund").EndRecord().EndSection();
    Repeat(body.Text("EURUSD"), 87, "nan").EndRecord().EndSection();
    body.EndSection().Text("1e309").EndSection();
    return InboundLine(9501, body);
}

std::string InstrumentsLine() {
    CWireBody body;
    body.Text("EURUSD").Int(1).Text("EURUSD").Empty(3).Num(3).Empty(7).Text("inf").Empty(2);
    body.Num(0.25).Num(2).Empty(2).Num(1.2).Text("1e309").Empty(65).EndRecord();
    Repeat(body.Text("GBPUSD"), 87, "nan").EndRecord();
    Repeat(body.Text("USDJPY"), 87, "-1e39").EndRecord();
    return InboundLine(9511, body);
}

std::string CurrenciesLine() {
    CWireBody body;
    body.Text("EUR").Empty(3).Text("inf").Empty(3).EndRecord();
    body.Text("USD").Empty(3).Num(1).Empty(3).EndRecord();
    Repeat(body.Text("XXX"), 7, "nan").EndRecord();
    return InboundLine(9505, body);
}

// A bargain record up to its ten numbers, which the caller appends.
CWireBody& BargainHead(CWireBody& body, int bargainNo, int openBargainNo, int closeFlag) {
    body.Text("v1").Text("EURUSD").Empty(2).Int(bargainNo).Int(openBargainNo).Int(7);
    return body.Empty(2).Int(40).Int(closeFlag);
}

std::string BargainsLine() {
    CWireBody body;
    BargainHead(body, NonFiniteSessionResult::kPosition, 0, 0).Num(2).Num(1.5);
    body.Text("nan").Text("inf").Text("1e309").Text("nan").Text("inf").Text("-inf");
    body.Text("nan").Text("1e39").EndRecord();
    BargainHead(body, NonFiniteSessionResult::kZeroLotsPosition, 0, 0).Text("nan").Num(1.5);
    body.Empty(3).Num(4).Num(2).Empty(3).EndRecord();
    Repeat(body, 21, "1e309").EndRecord();
    return InboundLine(9512, body);
}

CWireBody& OrderRecord(CWireBody& body, int orderNo, const char* number) {
    body.Text("HOSTILE").Text("EURUSD").Empty().Int(0).Empty().Int(orderNo).Int(0).Int(64);
    body.Empty(5);
    Repeat(body, 14, number).Empty();
    return Repeat(body, 3, number).EndRecord();
}

std::string OrdersLine() {
    CWireBody body;
    OrderRecord(body, 500, "nan");
    OrderRecord(body, 501, "inf");
    OrderRecord(body, 502, "-1e309");
    return InboundLine(9513, body);
}

std::string QuotesLine() {
    CWireBody body;
    body.Text("EURUSD").Text("inf").Text("1e309").Text("t1").Text("nan").Text("-inf");
    body.EndRecord();
    Repeat(body.Text("GBPUSD"), 5, "nan").EndRecord().EndSection();
    body.Text("EURUSD").Num(1.2).Text("-inf").Text("t2").Text("1e309").Text("-1e39");
    body.EndRecord().EndSection();
    return InboundLine(9518, body);
}

std::string DealLine(int orderNo, int openBargainNo, int closeFlag, const char* lots,
                     const char* number) {
    CWireBody body;
    BargainHead(body, orderNo, openBargainNo, closeFlag).Text(lots).Text(number);
    Repeat(body, 3, number).Text("nan").Text("inf");
    return InboundLine(7003, Repeat(body, 3, number).EndRecord());
}

}  // namespace

std::vector<std::string> NonFiniteSessionLines() {
    CWireBody base;
    Repeat(base, 24, "nan").EndRecord();
    Repeat(base, 30, "nan");
    CWireBody group;
    Repeat(group, 34, "inf");
    CWireBody broadCast;
    Repeat(broadCast, 8, "1e309");
    CWireBody history;
    Repeat(history, 26, "nan").EndRecord();
    CWireBody orderEvent;
    OrderRecord(orderEvent, 503, "nan");
    return {
        InboundLine(8000, ""),
        AccountLine(),
        InstrumentsLine(),
        CurrenciesLine(),
        InboundLine(9516, base),
        InboundLine(9515, group),
        InboundLine(9524, broadCast),
        InboundLine(9514, history),
        BargainsLine(),
        OrdersLine(),
        QuotesLine(),
        // Closes position 11 with "nan" lots, price "1e309", charge "nan" and credit "inf".
        DealLine(500, NonFiniteSessionResult::kPosition, 1, "nan", "1e309"),
        // Closes one lot of the position stored with 0 lots.
        DealLine(501, NonFiniteSessionResult::kZeroLotsPosition, 1, "1", "-inf"),
        // Opens a position whose every number is infinite on the wire.
        DealLine(502, 0, 0, "inf", "inf"),
        InboundLine(7004, orderEvent),
    };
}
