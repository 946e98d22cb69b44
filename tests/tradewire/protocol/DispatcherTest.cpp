#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <thread>

#include "NonFiniteNumbers.h"
#include "NonFiniteSession.h"
#include "ProtocolTestFixture.h"
#include "StoreSnapshot.h"

namespace {

using Dispatcher = ProtocolTest;

TEST_F(Dispatcher, IncompleteUnknownAndHeaderlessMessages) {
    const std::string body = "abc\x01\x04";
    EXPECT_EQ(protocol.Dispatch(InboundMessage(9002, body, 23)),
              Result::Incomplete);  // one byte short
    EXPECT_EQ(protocol.Dispatch(InboundMessage(9002, body, 22)), Result::Handled);
    EXPECT_EQ(Feed(9517, body), Result::Handled);
    EXPECT_EQ(Feed(4242, body), Result::Handled);
    EXPECT_EQ(protocol.Dispatch("9002abc\x01\x04"), Result::Handled);  // no 0x03: code 0, consumed
    EXPECT_EQ(protocol.Dispatch(""), Result::Handled);
    EXPECT_EQ(Log(), (Lines{"OnTextMessage \"abc\\x01\\x04\""}));
}

// A whole session as the server sends it, one line per message.
std::string SessionStream() {
    std::string stream = InboundLine(8000, "");
    CWireBody account;
    account.Text("ACC").EndSection().Empty(45).EndSection().Num(5000).Empty(13).EndRecord();
    account.EndSection();
    MerchRecord(account, "EURUSD", 0.0003, 1.2, 1.2).EndSection().EndSection().Int(100);
    stream += InboundLine(9501, account.EndSection());
    CWireBody merchs;
    MerchRecord(merchs, "EURUSD", 0.0002, 1.2, 1.2001);
    MerchRecord(merchs, "USDJPY", 0.01, 110, 109);
    stream += InboundLine(9511, merchs);
    stream += InboundLine(9505, CWireBody().Text("USD").Empty(3).Num(1).EndRecord());
    stream += InboundLine(9002, "hello\x04");
    stream += InboundLine(9524, CWireBody().Int(3).Num(1).Num(2).Text("title"));
    stream += InboundLine(9516, CWireBody().Text("B").EndRecord().Empty(7).Num(0.5));
    stream += InboundLine(9515, CWireBody().Text("G"));
    stream += InboundLine(9514, CWireBody().Empty(16).Int(12).EndRecord());
    CWireBody deals;
    deals.Empty(1).Text("EURUSD").Empty(2).Int(11).Int(0).Int(5).Empty(2).Int(40).Int(0);
    stream += InboundLine(9512, deals.Num(2).Num(1.5).Num(1).Num(2).Empty(7).EndRecord());
    CWireBody orders;
    orders.Text("ACC").Text("EURUSD").Empty(1).Int(5).Empty(1).Int(21).Int(11).Int(63);
    stream += InboundLine(9513, orders.Empty(8).Num(1.1).Num(2.2).Empty(13).EndRecord());
    CWireBody quotes;
    quotes.Text("EURUSD").Num(1.25).Num(1.25).Text("t").Empty(2).EndRecord().EndSection();
    stream += InboundLine(9518, quotes);
    stream += InboundLine(9999,
                          "\x01"
                          "42");
    return stream;
}

void Drain(CForexProtocol& protocol, CReceiveBuffer& buffer) {
    while (protocol.ProcessReceived(buffer) != Result::Incomplete) {
    }
}

Lines PlaySplit(const std::string& stream, size_t split) {
    CForexProtocol protocol;
    CRecordingSink sink;
    protocol.GetDataCenter()->SetNotify(&sink);
    CReceiveBuffer buffer;
    buffer.Append(std::string_view(stream).substr(0, split));
    Drain(protocol, buffer);
    buffer.Append(std::string_view(stream).substr(split));
    Drain(protocol, buffer);
    return sink.Lines();
}

TEST(DispatcherStream, SessionGivesTheSameCallbacksWhereverTheStreamIsCut) {
    const std::string stream = SessionStream();
    const Lines whole = PlaySplit(stream, stream.size());
    EXPECT_EQ(whole, (Lines{
                         "OnLoginReply",
                         "OnForexMerchs n=1 [EURUSD bid=1.2 ask=1.2 min=0.0003]",
                         "OnAccountInfo ACC funds=1 merchs=1 internal=100 balance=5000",
                         "OnForexMerchs n=2 [EURUSD bid=1.2 ask=1.2003 min=0.0002, USDJPY "
                         "bid=110 ask=110 min=0.01]",
                         "OnCurrencysInfo n=1 [USD usd=1]",
                         "OnTextMessage \"hello\\x04\"",
                         "OnBroadCast 3 title",
                         "OnBaseInfo B switch=0.5",
                         "OnGroupInfo G",
                         "OnHistoryOrderInfo n=1 [#12 open=#0  lots=0 profit=0]",
                         "OnBargainsInfo n=1 [#11 EURUSD in=5 dir=40 close=0 lots=2 price=1.5 "
                         "tp=1/2]",
                         "OnOrdersInfo n=1 [#21 EURUSD kind=63 in=5 bargain=11 tp=1.1/2.2]",
                         "OnBargainsInfo n=1 [#11 EURUSD in=5 dir=40 close=0 lots=2 price=1.5 "
                         "tp=1.1/2.2]",
                         "OnRealtimePrice EURUSD bid=1.25 ask=1.2503 stamp=t p3=0 p4=0",
                         "OnErrorCode code=42",
                     }));
    for (size_t split = 1; split < stream.size(); ++split) {
        if (stream[split - 1] == '\r') {
            continue;  // a line end cut in two is the splitter's concern, not the parsers'
        }
        ASSERT_EQ(PlaySplit(stream, split), whole) << "cut at " << split;
    }
}

TEST(DispatcherStream, AHostileSessionLeavesEveryStoredNumberFinite) {
    CForexProtocol protocol;
    CRecordingSink sink;
    CForexDataCenter& center = *protocol.GetDataCenter();
    center.SetNotify(&sink);
    CReceiveBuffer buffer;
    for (const std::string& line : NonFiniteSessionLines()) {
        buffer.Append(line);
    }
    Drain(protocol, buffer);
    ASSERT_TRUE(buffer.IsEmpty());

    // The one exception: the history line that divides by a position's 0 lots.
    const std::string line =
        "history[" + std::to_string(NonFiniteSessionResult::kZeroLotsHistoryLine) + "]";
    EXPECT_EQ(NonFiniteNumbers(center),
              (Lines{line + ".Credit", line + ".Charge", line + ".Value26"}));
    CBargainArray bargains;
    center.GetBargainsInfo(bargains);
    ASSERT_GE(bargains.GetSize(), 2);
    EXPECT_EQ(bargains[0].BargainNo, NonFiniteSessionResult::kPosition);
    EXPECT_EQ(bargains[0].Lots, 2.0f);  // a close of "nan" lots closes nothing
    EXPECT_EQ(bargains[1].BargainNo, NonFiniteSessionResult::kZeroLotsPosition);
    EXPECT_EQ(bargains[1].Lots, -1.0f);
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    ASSERT_FALSE(merchs.IsEmpty());
    EXPECT_EQ(merchs[0].RealtimePrice.Ask, 1.2f);  // "-inf" read as 0, then widened to the bid
}

TEST(DispatcherStream, WithoutSinkTheStoresEndTheSame) {
    const std::string stream = SessionStream();
    CForexProtocol withSink;
    CRecordingSink sink;
    withSink.GetDataCenter()->SetNotify(&sink);
    CForexProtocol withoutSink;
    for (CForexProtocol* protocol : {&withSink, &withoutSink}) {
        CReceiveBuffer buffer;
        buffer.Append(stream);
        Drain(*protocol, buffer);
    }
    EXPECT_FALSE(sink.Lines().empty());
    EXPECT_EQ(StoreSnapshot(*withoutSink.GetDataCenter()),
              StoreSnapshot(*withSink.GetDataCenter()));
}

// Which stores another thread cannot read right now. A getter that has not returned within the
// grace period is taken as blocked by a held lock; the probe threads are joined later, once the
// dispatcher has left its locks.
class LockProbe {
  public:
    explicit LockProbe(CForexDataCenter& center) : m_center(center) {}
    ~LockProbe() {
        for (std::thread& thread : m_threads) {
            thread.join();
        }
    }

    std::set<std::string> BusyStores() {
        std::map<std::string, std::function<void()>> getters = {
            {"base",
             [this] {
                 CBaseInfo x;
                 m_center.GetBaseInfo(x);
             }},
            {"currency",
             [this] {
                 CCurrencyArray x;
                 m_center.GetCurrencysInfo(x);
             }},
            {"group",
             [this] {
                 CGroup x;
                 m_center.GetGroupInfo(x);
             }},
            {"broadcast",
             [this] {
                 CBroadCast x;
                 m_center.GetBroadCast(x);
             }},
            {"account",
             [this] {
                 CAccountInfo x;
                 m_center.GetAccountInfo(x);
             }},
            {"instrument",
             [this] {
                 CForexMerchArray x;
                 m_center.GetForexMerchs(x);
             }},
            {"bargain",
             [this] {
                 CBargainArray x;
                 m_center.GetBargainsInfo(x);
             }},
            {"order",
             [this] {
                 COrderInfoArray x;
                 m_center.GetOrdersInfo(x);
             }},
            {"history",
             [this] {
                 CHistoryOrderInfoArray x;
                 m_center.GetHistoryOrderInfo(x);
             }},
            {"error", [this] { m_center.GetErrorCode(); }},
        };
        std::map<std::string, std::shared_ptr<std::atomic<bool>>> done;
        for (auto& [name, getter] : getters) {
            auto flag = std::make_shared<std::atomic<bool>>(false);
            done[name] = flag;
            m_threads.emplace_back([getter, flag] {
                getter();
                flag->store(true);
            });
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        std::set<std::string> busy;
        for (auto& [name, flag] : done) {
            while (!flag->load() && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (!flag->load()) {
                busy.insert(name);
            }
        }
        return busy;
    }

  private:
    CForexDataCenter& m_center;
    std::vector<std::thread> m_threads;
};

TEST(DispatcherLocks, EachCallbackRunsUnderItsStoreLockAndEveryLockIsLeft) {
    CForexProtocol protocol;
    CForexDataCenter& center = *protocol.GetDataCenter();
    CRecordingSink sink;
    center.SetNotify(&sink);
    std::vector<std::pair<std::string, std::set<std::string>>> seen;
    {
        LockProbe probe(center);
        sink.SetOnEntry([&](const std::string& line) {
            seen.emplace_back(line.substr(0, line.find(' ')), probe.BusyStores());
        });
        CReceiveBuffer buffer;
        buffer.Append(SessionStream());
        Drain(protocol, buffer);
        sink.SetOnEntry(nullptr);
        seen.emplace_back("after", probe.BusyStores());
    }
    using Busy = std::set<std::string>;
    const std::vector<std::pair<std::string, Busy>> expected = {
        {"OnLoginReply", {}},
        {"OnForexMerchs", {"account"}},
        {"OnAccountInfo", {"account"}},
        {"OnForexMerchs", {"instrument"}},
        {"OnCurrencysInfo", {"currency"}},
        {"OnTextMessage", {}},
        {"OnBroadCast", {"broadcast"}},
        {"OnBaseInfo", {"base"}},
        {"OnGroupInfo", {"group"}},
        {"OnHistoryOrderInfo", {"history"}},
        {"OnBargainsInfo", {"bargain"}},
        {"OnOrdersInfo", {"order"}},
        {"OnBargainsInfo", {"order"}},  // the trigger-price step has left the bargain lock
        {"OnRealtimePrice", {}},
        {"OnErrorCode", {"error"}},
        {"after", {}},
    };
    EXPECT_EQ(seen, expected);
}

}  // namespace
