#include "FaultScript.h"

#include "RecordingSink.h"
#include "SessionWire.h"
#include "WireBuilder.h"

namespace {

std::string GroupLine() {
    CWireBody body;
    body.Text("G1").Empty(5).EndRecord();
    return InboundLine(9515, body);
}

std::string BroadcastLine() {
    CWireBody body;
    body.Int(3).Text("20260101").Text("09:00").Text("Desk notice").Text("Markets open").EndRecord();
    return InboundLine(9524, body);
}

std::string HistoryLine() {
    CWireBody body;
    body.Int(31).Int(30).Text("EURUSD").Num(1).Num(1.1).Num(1.2).Num(7.5).EndRecord();
    return InboundLine(9514, body);
}

}  // namespace

std::vector<CScriptStep> TradingScript() {
    std::vector<CScriptStep> steps;
    auto line = [&](std::string text) { steps.push_back(CScriptStep{std::move(text), {}}); };
    auto commit = [&](const COrderInfo& order) { steps.push_back(CScriptStep{{}, order}); };

    for (std::string& login : LoginLines()) {
        line(std::move(login));
    }
    line(GroupLine());
    line(QuotesLine({{{"EURUSD", 1.2f, 1.2001f, "t1"}, {"USDJPY", 110.5f, 110.6f, "t1"}}}));

    const COrderInfo open = SessionRequest(60, 100);
    commit(open);
    line(OrderEventLine(7002, open));
    const CBargain opened = SessionDeal(11, 100, 40, 2, 1.5f);
    line(DealEventLine(opened));

    COrderInfo close = SessionRequest(62, 101);
    close.CloseFlag = 1;
    close.BargainNo = 11;
    commit(close);
    line(DealEventLine(ClosingDeal(opened, 12, 101, 1.25f)));

    const COrderInfo place = WithTriggers(SessionRequest(64, 102), 0, 1.1f, 1.3f);
    commit(place);
    COrderInfo placed = place;
    placed.OrderNo = 21;
    line(OrderEventLine(7002, placed));
    const COrderInfo change = WithTriggers(SessionRequest(68, 103), 21, 1.05f, 1.3f);
    commit(change);
    line(OrderEventLine(7004, change));
    line(DealEventLine(SessionDeal(21, 102, 41, 1, 1.05f)));

    COrderInfo remove = SessionRequest(69, 104);
    remove.OrderNo = 99;
    commit(remove);
    COrderInfo refusal = remove;
    refusal.OrderKind = 72;
    line(OrderEventLine(7005, refusal));

    line(QuotesLine({{{"EURUSD", 1.21f, 1.215f, "t2"}}}));
    line(InboundLine(9002, CWireBody().Text("Server notice").Str()));
    line(BroadcastLine());
    line(InboundLine(9999, CWireBody().Text("refused").Int(102).Str()));
    line(HistoryLine());
    return steps;
}
