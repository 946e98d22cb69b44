// The simulator on loopback, served to clients that use the library through its installed
// interface and the terminal's own session code: several clients at once, a second session of
// one account, a client that reconnects, a refused login.

#include <gtest/gtest.h>
#include <tradewire/Tradewire.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "Eventually.h"
#include "SimulatorThread.h"
#include "Terminal.h"
#include "TerminalSink.h"
#include "common/base/NonCopyable.h"

namespace {

using namespace std::chrono_literals;

class Client : NonCopyable {
  public:
    Client(std::uint16_t port, const std::string& user, const std::string& password)
        : m_manager(GetAbsTradewire()) {
        term::TermOptions options;
        options.port = port;
        options.user = user;
        options.password = password;
        sink.SetDataCenter(m_manager->GetDataCenter());
        m_manager->SetNotify(&sink);
        terminal = std::make_unique<term::Terminal>(*m_manager, sink, options);
    }
    ~Client() {
        terminal->Finish();
        m_manager->UnSetNotify();
        m_manager->ReleaseObj();
    }

    bool Start() { return terminal->Connect() && terminal->Login(); }
    void Run(const std::string& line) { terminal->RunLine(line); }
    CForexDataCenter& DataCenter() { return *m_manager->GetDataCenter(); }

    CBargainArray Positions() {
        CBargainArray bargains;
        DataCenter().GetBargainsInfo(bargains);
        return bargains;
    }
    CString AccountCode() {
        CAccountInfo account;
        DataCenter().GetAccountInfo(account);
        return account.AccountCode;
    }

    term::TerminalSink sink;
    std::unique_ptr<term::Terminal> terminal;

  private:
    CAbsForexManager* m_manager;
};

class SimulatorSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::SimOptions options = CSimulatorThread::QuietOptions();
        options.tickRate = 20;
        std::string error;
        ASSERT_TRUE(m_sim.Start(options, error)) << error;
    }
    std::uint16_t Port() const { return m_sim.Port(); }

  private:
    CSimulatorThread m_sim;
};

TEST_F(SimulatorSessionTest, TwoClientsAtOnceTradeTheirOwnAccounts) {
    Client demo(Port(), "demo", "demo");
    Client alice(Port(), "alice", "alice");
    ASSERT_TRUE(demo.Start());
    ASSERT_TRUE(alice.Start());
    EXPECT_EQ(demo.AccountCode(), L"demo");
    EXPECT_EQ(alice.AccountCode(), L"alice");

    demo.Run("buy EURUSD 0.10");
    alice.Run("sell GBPUSD 0.20");
    ASSERT_EQ(demo.Positions().GetSize(), 1);
    ASSERT_EQ(alice.Positions().GetSize(), 1);
    EXPECT_EQ(demo.Positions()[0].MerchCode, L"EURUSD");
    EXPECT_EQ(alice.Positions()[0].MerchCode, L"GBPUSD");
    EXPECT_EQ(alice.Positions()[0].Direction, 41);

    demo.Run("close last");
    EXPECT_EQ(demo.Positions().GetSize(), 0);
    EXPECT_EQ(alice.Positions().GetSize(), 1);
    // Both kept receiving quotes while the other traded.
    demo.sink.StartLatency(5);
    alice.sink.StartLatency(5);
    EXPECT_TRUE(demo.sink.WaitUntil([&] { return demo.sink.LatencyDone(); }, 5s));
    EXPECT_TRUE(alice.sink.WaitUntil([&] { return alice.sink.LatencyDone(); }, 5s));
}

TEST_F(SimulatorSessionTest, SecondSessionOfOneAccountIsKeptCurrent) {
    Client first(Port(), "bob", "bob");
    Client second(Port(), "bob", "bob");
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(second.Start());
    first.Run("buy USDJPY 0.30");
    ASSERT_EQ(first.Positions().GetSize(), 1);
    const int bargainNo = first.Positions()[0].BargainNo;
    EXPECT_TRUE(Eventually([&] {
        const CBargainArray seen = second.Positions();
        return seen.GetSize() == 1 && seen[0].BargainNo == bargainNo;
    }));
    second.Run("close " + std::to_string(bargainNo));
    EXPECT_EQ(second.Positions().GetSize(), 0);
    EXPECT_TRUE(Eventually([&] { return first.Positions().GetSize() == 0; }));
}

TEST_F(SimulatorSessionTest, ClientThatReconnectsFindsItsPositionAndGoesOnTrading) {
    Client client(Port(), "demo", "demo");
    ASSERT_TRUE(client.Start());
    client.Run("buy AUDUSD 0.50");
    ASSERT_EQ(client.Positions().GetSize(), 1);
    const int bargainNo = client.Positions()[0].BargainNo;
    const int usedInternalNo = client.Positions()[0].InternalNo;

    client.terminal->Finish();
    ASSERT_TRUE(client.Start());
    const CBargainArray positions = client.Positions();
    ASSERT_EQ(positions.GetSize(), 1);
    EXPECT_EQ(positions[0].BargainNo, bargainNo);
    // The server hands out numbers past those already used, so replies cannot be confused.
    EXPECT_GT(client.DataCenter().GetInternalNo(), usedInternalNo);

    client.Run("close " + std::to_string(bargainNo));
    EXPECT_EQ(client.Positions().GetSize(), 0);
    CHistoryOrderInfoArray history;
    client.DataCenter().GetHistoryOrderInfo(history);
    EXPECT_EQ(history.GetSize(), 1);
}

TEST_F(SimulatorSessionTest, WrongPasswordIsReportedAndTheLoginFails) {
    Client client(Port(), "demo", "not-the-password");
    ASSERT_TRUE(client.terminal->Connect());
    EXPECT_FALSE(client.terminal->Login());
    EXPECT_EQ(client.sink.LastError(), 101);
}

}  // namespace
