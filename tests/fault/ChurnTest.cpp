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
#include "BusyTerminal.h"
#include "RecordingSink.h"
#include "connection/SocketManager.h"

namespace {

using namespace std::chrono_literals;

using ChurnTest = BusySimulatorTest;

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
