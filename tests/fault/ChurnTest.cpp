// Connections made and ended over and over against the simulator while the terminal's other
// threads read the stores and its sink trades from inside the callbacks; connection objects
// ended at seeded random moments. Nothing may crash, hang or leak, and every store read must
// be whole.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <thread>

#include "BackgroundLoop.h"
#include "Eventually.h"
#include "RecordingSink.h"
#include "SimulatorThread.h"
#include "connection/SocketManager.h"

namespace {

using namespace std::chrono_literals;
constexpr std::chrono::seconds kWait{20};

// A sink that behaves like a busy terminal: every callback reads the stores, the login reply
// asks for the history, and every fifth quote opens a small position.
class CTradingSink : public CRecordingSink {
  public:
    CTradingSink() {
        SetOnEntry([this](const std::string& line) { React(line); });
    }
    std::atomic<CAbsForexManager*> manager{nullptr};

  private:
    void React(const std::string& line) {
        CAbsForexManager* target = manager.load();
        if (target == nullptr) {
            return;
        }
        CForexDataCenter& center = *target->GetDataCenter();
        CAccountInfo account;
        center.GetAccountInfo(account);
        CForexMerchArray merchs;
        center.GetForexMerchs(merchs);
        if (line == "OnLoginReply") {
            target->ReqHistoryOrderInfo(20260101, 20261231);
        } else if (line.rfind("OnRealtimePrice", 0) == 0 && ++m_quotes % 5 == 0 &&
                   !merchs.IsEmpty()) {
            COrderInfo order;
            order.AccountCode = account.AccountCode;
            order.MerchCode = merchs[0].MerchCode;
            order.OrderKind = 60;
            order.InternalNo = center.GetInternalNo();
            order.Value10 = 40;
            order.Value11 = 1;
            target->CommitBill(order);
        }
    }

    std::atomic<int> m_quotes{0};
};

// Store reads from another thread: each copy must be whole.
void ReadStores(CForexDataCenter& center) {
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        const CForexRealtimePrice& quote = merchs[i].RealtimePrice;
        EXPECT_FALSE(merchs[i].MerchCode.IsEmpty());
        EXPECT_GE(quote.Ask, quote.Bid) << i;
    }
    CBargainArray bargains;
    center.GetBargainsInfo(bargains);
    for (INT_PTR i = 0; i < bargains.GetSize(); ++i) {
        EXPECT_GT(bargains[i].Lots, 0.0f);
    }
    COrderInfoArray orders;
    center.GetOrdersInfo(orders);
    CHistoryOrderInfoArray history;
    center.GetHistoryOrderInfo(history);
    CAccountInfo account;
    center.GetAccountInfo(account);
    CCurrencyArray currencys;
    center.GetCurrencysInfo(currencys);
    center.GetErrorCode();
}

class ChurnTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::SimOptions options = CSimulatorThread::QuietOptions();
        options.tickRate = 50;
        options.noticeSeconds = 1;
        std::string error;
        ASSERT_TRUE(m_sim.Start(options, error)) << error;
        m_target.Address = L"127.0.0.1";
        m_target.Port = m_sim.Port();
    }

    bool WaitForLine(const CRecordingSink& sink, const std::string& prefix) {
        return Eventually(
            [&] {
                for (const std::string& line : sink.Lines()) {
                    if (line.rfind(prefix, 0) == 0) {
                        return true;
                    }
                }
                return false;
            },
            kWait);
    }

    CServer m_target;
    CSimulatorThread m_sim;
};

TEST_F(ChurnTest, TwoHundredSessionsWithGettersAndRequestsFromCallbacks) {
    CTradingSink sink;
    auto* manager = new CSocketManager();
    manager->SetNotify(&sink);
    sink.manager = manager;
    CForexDataCenter& center = *manager->GetDataCenter();

    CBackgroundLoop first([&] { ReadStores(center); });
    CBackgroundLoop second([&] { ReadStores(center); });

    std::mt19937 random(9);
    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_TRUE(manager->ConnectServer(m_target)) << cycle;
        ASSERT_TRUE(manager->ReqLogin(L"demo", L"demo"));
        if (cycle % 40 == 0) {
            // Now and then a whole login, so the stores fill and the sink trades.
            EXPECT_TRUE(WaitForLine(sink, "OnBroadCast")) << cycle;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 30));
        }
        manager->DisConnect();
        sink.Clear();
    }

    ASSERT_TRUE(manager->ConnectServer(m_target));
    ASSERT_TRUE(manager->ReqLogin(L"demo", L"demo"));
    EXPECT_TRUE(WaitForLine(sink, "OnRealtimePrice"));
    EXPECT_GT(first.Stop() + second.Stop(), 200);
    CAccountInfo account;
    center.GetAccountInfo(account);
    EXPECT_EQ(account.AccountCode, L"demo");
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    EXPECT_FALSE(merchs.IsEmpty());

    manager->DisConnect();
    sink.manager = nullptr;
    manager->ReleaseObj();
}

TEST_F(ChurnTest, ConnectionObjectsEndedAtRandomMoments) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(round);
        CTradingSink sink;
        auto* manager = new CSocketManager();
        manager->SetNotify(&sink);
        sink.manager = manager;
        if (random() % 6 != 0) {
            ASSERT_TRUE(manager->ConnectServer(m_target));
            ASSERT_TRUE(manager->ReqLogin(L"demo", L"demo"));
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));
        }
        switch (random() % 3) {
            case 0:
                manager->DisConnect();
                manager->ReleaseObj();
                break;
            case 1:
                manager->ReleaseObj();  // ends the connection itself
                break;
            default:
                manager->UnSetNotify();
                manager->ReleaseObj();
        }
        sink.manager = nullptr;
    }
}

}  // namespace
