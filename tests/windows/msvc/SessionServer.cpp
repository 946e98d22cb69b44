// The trading server of the terminal session test: a TLS server on 127.0.0.1 that answers the
// session terminal's requests (SessionTerminal.cpp) with a fixed script, one step per request
// line, so two terminals built with different compilers go through the very same session.
// Each step ends with the text message "step N"; the terminal waits for it before its next
// request, which makes the callback log independent of timing.
//
// Usage: session_server <port file>. Writes the chosen port to the file, serves one terminal
// and exits: 0 when every request arrived as scripted, 1 otherwise.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "SessionWire.h"
#include "TestTlsServer.h"
#include "WireBuilder.h"

namespace {

constexpr std::chrono::seconds kWait{30};

// One step: the request the terminal sends (its message code), and the server's answer.
struct Step {
    const char* request;
    std::vector<std::string> answer;
};

COrderInfo Reply(COrderInfo order, int kind) {
    order.OrderKind = kind;
    return order;
}

// A bargain list (9512) of one bargain: a deal record under the list's code.
std::string BargainsLine(const CBargain& bargain) {
    std::string line = DealEventLine(bargain);
    return line.replace(12, 4, "9512");  // the code follows the two six-digit header fields
}

std::vector<std::string> LoginSnapshot() {
    std::vector<std::string> lines = LoginLines();
    lines.push_back(BargainsLine(SessionDeal(5, 90, 41, 1, 1.19f)));
    lines.push_back(OrderEventLine(9513, WithTriggers(SessionRequest(65, 91), 7, 1.1f, 1.4f)));
    CWireBody history;
    history.Text("h1").Text("h2").Text("EURUSD").Num(2).Empty(2).Int(3).Int(92).Empty(2).Int(40);
    history.Num(1.18).Num(0).Num(0).Empty(2).Int(4).Int(93).Empty(2).Num(1.2).Num(4);
    history.Num(0).Num(0.5).Num(0.25).Num(0).EndRecord();
    lines.push_back(InboundLine(9514, history));
    lines.push_back(InboundLine(9515, CWireBody().Text("G1").Int(2).Text("g3").Empty().Int(5)));
    lines.push_back(InboundLine(9524, CWireBody().Int(3).Num(0.5).Num(1).Text("title")));
    lines.push_back(InboundLine(9002, "market opens at 9"));
    lines.push_back(InboundLine(9999, CWireBody().Empty().Int(7)));
    lines.push_back(QuotesLine({{{"EURUSD", 1.2f, 1.2001f, "t1"}, {"USDJPY", 110.5f, 110.6f, "t1"}},
                                {{"EURUSD", 1.21f, 1.215f, "t2"}}}));
    return lines;
}

// The requests of SessionTerminal.cpp in its order, with internal numbers from 100 on.
std::vector<Step> Script() {
    const CBargain opened = SessionDeal(11, 100, 40, 2, 1.5f);
    COrderInfo close = SessionRequest(62, 101);
    close.CloseFlag = 1;
    close.BargainNo = 11;
    const COrderInfo place = WithTriggers(SessionRequest(64, 102), 21, 1.1f, 1.3f);
    const COrderInfo change = WithTriggers(SessionRequest(68, 103), 21, 1.05f, 1.3f);
    const COrderInfo remove = WithTriggers(SessionRequest(69, 104), 21, 0, 0);
    CWireBody history;
    history.Text("h1").Text("h2").Text("USDJPY").Num(1).Empty(2).Int(8).Int(94).Empty(2).Int(41);
    history.Num(110).Num(0).Num(0).Empty(2).Int(9).Int(95).Empty(2).Num(111).Num(-2).EndRecord();
    return {
        {"8000", LoginSnapshot()},
        {"7001", {OrderEventLine(7002, SessionRequest(60, 100)), DealEventLine(opened)}},
        {"7001", {DealEventLine(ClosingDeal(opened, 12, 101, 1.25f))}},
        {"7001", {OrderEventLine(7002, place)}},
        {"7001", {OrderEventLine(7004, change)}},
        {"7001", {OrderEventLine(7004, remove)}},
        {"7001", {OrderEventLine(7005, Reply(SessionRequest(60, 105), 72))}},
        {"7001", {OrderEventLine(7005, Reply(SessionRequest(62, 106), 72))}},
        {"7001", {OrderEventLine(7005, Reply(SessionRequest(65, 107), 72))}},
        {"7001", {OrderEventLine(7005, Reply(SessionRequest(68, 108), 72))}},
        {"7001", {OrderEventLine(7005, Reply(SessionRequest(69, 109), 72))}},
        {"7900", {InboundLine(9514, history)}},
        {"8001", {}},
    };
}

std::string StepMark(size_t step) {
    return InboundLine(9002, "step " + std::to_string(step));
}

bool Serve(CTestTlsServer& server) {
    if (!server.WaitForHandshakes(1, kWait)) {
        std::fprintf(stderr, "session_server: no terminal connected\n");
        return false;
    }
    // The terminal speaks only once it has read this: see SessionFixture.h.
    server.Send(StepMark(0));
    const std::vector<Step> script = Script();
    for (size_t step = 0; step < script.size(); ++step) {
        if (!server.WaitForLines(step + 1, kWait)) {
            std::fprintf(stderr, "session_server: request %zu never came\n", step + 1);
            return false;
        }
        const std::string line = server.Lines()[step];
        if (line.find(std::string(script[step].request) + "\x03") != 12) {
            std::fprintf(stderr, "session_server: request %zu is not %s: %s\n", step + 1,
                         script[step].request, line.c_str());
            return false;
        }
        for (const std::string& answer : script[step].answer) {
            server.Send(answer);
        }
        if (step + 1 < script.size()) {
            server.Send(StepMark(step + 1));
        }
    }
    // After the logout the connection breaks, which the terminal hears as a socket error.
    server.ResetClient();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <port file>\n", argv[0]);
        return 2;
    }
    CTestTlsServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "session_server: cannot listen\n");
        return 1;
    }
    std::ofstream(argv[1]) << server.Port() << "\n";
    const bool served = Serve(server);
    server.Stop();
    return served ? 0 : 1;
}
