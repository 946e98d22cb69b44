#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <future>
#include <set>
#include <thread>

#include "Eventually.h"
#include "FileText.h"
#include "SessionFixture.h"
#include "TempFolder.h"

namespace {

using namespace std::chrono_literals;

class TradingSessionTest : public SessionTest {
  protected:
    static constexpr int kBacklog = 300;

    // Connects anew with the environment `variable` set to `value` (empty: unset) and clears
    // the sink once the server's greeting has arrived.
    void ReconnectWith(const char* variable, const char* value) {
        manager->DisConnect();
        if (*value == '\0') {
            ::unsetenv(variable);
        } else {
            ::setenv(variable, value, 1);
        }
        const int before = server.HandshakeCount();
        CServer target;
        target.Address = L"127.0.0.1";
        target.Port = server.Port();
        ASSERT_TRUE(manager->ConnectServer(target));
        ::unsetenv(variable);
        ASSERT_TRUE(server.WaitForHandshakes(before + 1, kWait));
        sink.Clear();
        ASSERT_TRUE(server.Send(InboundLine(9002, "welcome")));
        ASSERT_TRUE(sink.WaitFor(1, kWait));
        sink.Clear();
    }

    // At the processing pace `perPass` asks for (empty: the default).
    void ReconnectAtPace(const char* perPass) {
        ReconnectWith("TRADEWIRE_MESSAGES_PER_PASS", perPass);
    }

    void PlayWholeSession();

    // The server sends `count` numbered notices in one go.
    void SendNumbered(int count) {
        std::string backlog;
        for (int i = 0; i < count; ++i) {
            backlog += InboundLine(9002, "m" + std::to_string(i));
        }
        ASSERT_TRUE(server.Send(backlog));
    }

    // The server sends kBacklog numbered notices in one go and closes the connection.
    void SendBacklogAndClose() {
        SendNumbered(kBacklog);
        server.CloseClient();
    }

    // The numbered notices the sink heard before its first socket error, in order.
    static Lines NoticesBeforeTheError(const Lines& lines) {
        const auto error = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("OnSocketError", 0) == 0;
        });
        return Lines(lines.begin(), error);
    }

    static Lines Numbered(int count) {
        Lines notices;
        for (int i = 0; i < count; ++i) {
            notices.push_back("OnTextMessage \"m" + std::to_string(i) + "\"");
        }
        return notices;
    }

    size_t SocketErrors() const {
        const Lines lines = sink.Lines();
        return lines.size() - NoticesBeforeTheError(lines).size();
    }
};

void TradingSessionTest::PlayWholeSession() {
    ASSERT_TRUE(manager->ReqLogin(L"trader", L"secret"));
    ASSERT_TRUE(server.WaitForLines(1, kWait));
    EXPECT_NE(server.Lines()[0].find("8000\x03trader\x01trader\x01secret\x01"), std::string::npos);

    // Login, account and reference data.
    EXPECT_EQ(
        PlayLogin(),
        (Lines{"OnLoginReply", "OnAccountInfo ACC1 funds=1 merchs=0 internal=100 balance=5000",
               "OnForexMerchs n=2 [EURUSD bid=1.2 ask=1.2001 min=0.0003, "
               "USDJPY bid=110 ask=110.02 min=0.02]",
               "OnCurrencysInfo n=2 [EUR usd=1.1, USD usd=1]", "OnBaseInfo  switch=0.5"}));

    // Quotes: widened to the minimum spread, unknown and wrongly cased codes dropped.
    EXPECT_EQ(Play({QuotesLine({{{"EURUSD", 1.2f, 1.2001f, "t1"}, {"XAUUSD", 1, 2, "t1"}},
                                {{"usdjpy", 111, 112, "t2"}, {"USDJPY", 110.5f, 110.6f, "t2"}}}),
                    QuotesLine({{{"EURUSD", 1.21f, 1.215f, "t3"}}})},
                   3),
              (Lines{"OnRealtimePrice EURUSD bid=1.2 ask=1.2003 stamp=t1 p3=0 p4=0",
                     "OnRealtimePrice USDJPY bid=110.5 ask=110.6 stamp=t2 p3=0 p4=0",
                     "OnRealtimePrice EURUSD bid=1.21 ask=1.215 stamp=t3 p3=0 p4=0"}));

    // A committed open, confirmed by 7002 and carried out by 7003.
    COrderInfo open = Request(60);
    Commit(open);
    COrderInfo openReply = open;
    const CBargain opened = SessionDeal(11, open.InternalNo, 40, 2, 1.5f);
    EXPECT_EQ(
        Play({OrderEventLine(7002, openReply), DealEventLine(opened)}, 4),
        (Lines{"OnOrdersInfo n=1 [#0 EURUSD kind=60 in=100 bargain=0 tp=0/0]",
               "OnBargainsInfo n=1 [#11 EURUSD in=100 dir=40 close=0 lots=2 price=1.5 tp=0/0]",
               "OnBargainOpened #11 EURUSD in=100 dir=40 close=0 lots=2 price=1.5 tp=0/0",
               "OnBargainsInfo n=1 [#11 EURUSD in=100 dir=40 close=0 lots=2 price=1.5 "
               "tp=0/0]"}));

    // A close: profit 3 dollars, balance, history line.
    COrderInfo close = Request(62);
    close.CloseFlag = 1;
    close.BargainNo = 11;
    Commit(close);
    EXPECT_EQ(Play({DealEventLine(ClosingDeal(opened, 12, close.InternalNo, 1.25f))}, 5),
              (Lines{"OnBargainsInfo n=1 [#12 EURUSD open=#11 in=101 dir=40 close=1 lots=2 "
                     "price=1.25 tp=0/0]",
                     "OnBargainClosed #12 EURUSD open=#11 in=101 dir=40 close=1 lots=2 price=1.25 "
                     "tp=0/0",
                     "OnAccountInfo ACC1 funds=1 merchs=0 internal=102 balance=5003",
                     "OnBargainsInfo n=0 []",
                     "OnHistoryOrderInfo n=1 [#12 open=#11 EURUSD lots=2 profit=3]"}));

    // A pending order placed, changed, then filled by the server.
    const COrderInfo place = WithTriggers(Request(64), 0, 1.1f, 1.3f);
    Commit(place);
    COrderInfo placed = place;
    placed.OrderNo = 21;
    EXPECT_EQ(Play({OrderEventLine(7002, placed)}, 3),
              (Lines{"OnOrdersInfo n=1 [#21 EURUSD kind=64 in=102 bargain=0 tp=1.1/1.3]",
                     "OnOrderAdded #21 EURUSD kind=64 in=102 bargain=0 tp=1.1/1.3",
                     "OnOrdersInfo n=1 [#21 EURUSD kind=64 in=102 bargain=0 tp=1.1/1.3]"}));

    const COrderInfo change = WithTriggers(Request(68), 21, 1.05f, 1.3f);
    Commit(change);
    EXPECT_EQ(Play({OrderEventLine(7004, change)}, 3),
              (Lines{"OnOrdersInfo n=1 [#21 EURUSD kind=68 in=103 bargain=0 tp=1.05/1.3]",
                     "OnOrderChanged #21 EURUSD kind=68 in=103 bargain=0 tp=1.05/1.3",
                     "OnOrdersInfo n=1 [#21 EURUSD kind=68 in=103 bargain=0 tp=1.05/1.3]"}));

    const CBargain fill = SessionDeal(21, place.InternalNo, 41, 1, 1.05f);  // the order's number
    EXPECT_EQ(
        Play({DealEventLine(fill)}, 4),
        (Lines{"OnBargainsInfo n=1 [#21 EURUSD in=102 dir=41 close=0 lots=1 price=1.05 tp=0/0]",
               "OnBargainOpened #21 EURUSD in=102 dir=41 close=0 lots=1 price=1.05 tp=0/0",
               "OnBargainsInfo n=1 [#21 EURUSD in=102 dir=41 close=0 lots=1 price=1.05 "
               "tp=0/0]",
               "OnOrdersInfo n=0 []"}));

    // A refused delete.
    COrderInfo remove = Request(69);
    remove.OrderNo = 99;
    Commit(remove);
    COrderInfo refusal = remove;
    refusal.OrderKind = 72;
    EXPECT_EQ(Play({OrderEventLine(7005, refusal)}, 2),
              (Lines{"OnOrdersInfo n=1 [#99 EURUSD kind=72 in=104 bargain=0 tp=0/0]",
                     "OnDeleteRefused #99 EURUSD kind=72 in=104 bargain=0 tp=0/0"}));

    // What the terminal reads back afterwards.
    CForexDataCenter& center = Center();
    CAccountInfo account;
    center.GetAccountInfo(account);
    EXPECT_DOUBLE_EQ(account.Funds[0].Balance, 5003);
    CBargainArray bargains;
    center.GetBargainsInfo(bargains);
    ASSERT_EQ(bargains.GetSize(), 1);
    EXPECT_EQ(bargains[0].BargainNo, 21);
    COrderInfoArray orders;
    center.GetOrdersInfo(orders);
    EXPECT_EQ(orders.GetSize(), 0);
    CHistoryOrderInfoArray history;
    center.GetHistoryOrderInfo(history);
    ASSERT_EQ(history.GetSize(), 1);
    EXPECT_FLOAT_EQ(history[0].Profit, 3.0f);
    EXPECT_EQ(sink.Lines().size(), 29u);  // nothing beyond the expected callbacks
    // All on one worker thread, never the caller's.
    std::set<std::thread::id> threads;
    for (const CRecordingSink::Entry& entry : sink.Entries()) {
        threads.insert(entry.thread);
    }
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);
}

TEST_F(TradingSessionTest, WholeSessionReachesTheTerminalInOrder) {
    PlayWholeSession();
}

// The immediate pace changes when callbacks come, never which, in what order or on what
// thread; it holds across a reconnection too.
TEST_F(TradingSessionTest, WholeSessionAtTheImmediatePaceGivesTheSameCallbacks) {
    ReconnectWith("TRADEWIRE_PACE", "immediate");
    PlayWholeSession();
}

// A server that sends a backlog and closes: everything it sent reaches a terminal that
// disconnects on the first error, at any processing pace, before that error does.
TEST_F(TradingSessionTest, WhatAServerSentBeforeClosingArrivesBeforeTheError) {
    // DisConnect while the backlog is still being worked off returns without waiting for it.
    SendBacklogAndClose();
    ASSERT_TRUE(sink.WaitFor(10, kWait));
    manager->DisConnect();
    const size_t delivered = sink.Lines().size();
    EXPECT_LT(delivered, static_cast<size_t>(kBacklog));
    EXPECT_EQ(NoticesBeforeTheError(sink.Lines()), Numbered(static_cast<int>(delivered)));

    struct Pace {
        const char* variable;
        const char* value;
        size_t errorsAwaited;  // at the fast paces the terminal listens on: the report repeats
    };
    for (const Pace& pace :
         {Pace{"TRADEWIRE_MESSAGES_PER_PASS", "", 1}, Pace{"TRADEWIRE_MESSAGES_PER_PASS", "8", 1},
          Pace{"TRADEWIRE_MESSAGES_PER_PASS", "64", 2}, Pace{"TRADEWIRE_PACE", "immediate", 2}}) {
        SCOPED_TRACE(std::string(pace.variable) + "=" + pace.value);
        ReconnectWith(pace.variable, pace.value);
        SendBacklogAndClose();
        const size_t errorsAwaited = pace.errorsAwaited;
        ASSERT_TRUE(Eventually([&] { return SocketErrors() >= errorsAwaited; },
                               std::chrono::seconds(40), std::chrono::milliseconds(1)));
        manager->DisConnect();
        const Lines lines = sink.Lines();
        EXPECT_EQ(NoticesBeforeTheError(lines), Numbered(kBacklog));
        for (size_t i = kBacklog; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i], "OnSocketError error=0") << "after the first error";
        }
    }
}

// DisConnect in the middle of a burst at the immediate pace does not wait for the rest of it, and
// every message the connection dispatched (as its capture counts them) reached the terminal,
// in order.
TEST_F(TradingSessionTest, DisConnectDuringAnImmediateBurstIsPromptAndLosesNothingDispatched) {
    constexpr int kBurst = 1000;
    CTempFolder captureFolder("twcap-burst");
    ::setenv("TRADEWIRE_CAPTURE_DIR", captureFolder.Path().c_str(), 1);
    ReconnectWith("TRADEWIRE_PACE", "immediate");
    ::unsetenv("TRADEWIRE_CAPTURE_DIR");
    // The 21st message's callback lasts until DisConnect has begun, so the burst is certainly
    // still being dispatched then.
    std::promise<void> reached;
    sink.SetOnEntry([&](const std::string& line) {
        if (line != "OnTextMessage \"m20\"") {
            return;
        }
        reached.set_value();
        while (manager->IsConnected()) {
            std::this_thread::sleep_for(1ms);
        }
    });
    SendNumbered(kBurst);
    ASSERT_EQ(reached.get_future().wait_for(kWait), std::future_status::ready);
    auto done = std::async(std::launch::async, [&] { manager->DisConnect(); });
    ASSERT_EQ(done.wait_for(2s), std::future_status::ready);
    sink.SetOnEntry(nullptr);

    // Nothing after the message in hand when DisConnect began.
    const Lines lines = sink.Lines();
    EXPECT_EQ(lines, Numbered(21));
    const auto files = captureFolder.Files();
    ASSERT_EQ(files.size(), 1u);
    const std::string text = ReadFileText(files[0]);
    EXPECT_NE(text.find(" pass=immediate\n"), std::string::npos);
    // The greeting of ReconnectWith was dispatched too, before the burst.
    EXPECT_NE(text.find(" dispatched=" + std::to_string(lines.size() + 1) + " "), std::string::npos)
        << text.substr(text.rfind('\n', text.size() - 2));
}

}  // namespace
