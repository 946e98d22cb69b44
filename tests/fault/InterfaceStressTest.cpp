// Several threads of a terminal call the interface at random against the simulator: orders and
// the other three requests, the getters, SetNotify and UnSetNotify, ConnectServer and DisConnect
// (serialised among the threads, as the interface asks), first without a capture and then with
// one. Nothing may crash or race; after a last connection the stores are whole and agree with
// each other. Each phase runs for a fixed time on the wall clock, so a sanitizer build does
// fewer rounds, not longer ones.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "BusyTerminal.h"
#include "TempFolder.h"
#include "connection/SocketManager.h"

namespace {

using namespace std::chrono_literals;

constexpr int kThreads = 4;
constexpr auto kPhase = 9s;

enum EAction {
    kCommit,
    kLogin,
    kLogout,
    kHistory,
    kGetters,
    kSetNotify,
    kUnSetNotify,
    kGetServer,
    kConnect,
    kDisconnect,
    kActions
};
const char* const kActionNames[kActions] = {
    "CommitBill", "ReqLogin",    "ReqLogOut", "ReqHistoryOrderInfo", "getters",
    "SetNotify",  "UnSetNotify", "GetServer", "ConnectServer",       "DisConnect"};
// Out of 100 draws: mostly requests and reads, with a connection made or ended now and then.
constexpr std::array<int, kActions> kWeights = {24, 8, 3, 6, 30, 8, 4, 6, 6, 5};

EAction Draw(std::mt19937& random) {
    int draw = static_cast<int>(random() % 100);
    for (int action = 0; action < kActions; ++action) {
        if (draw < kWeights[static_cast<size_t>(action)]) {
            return static_cast<EAction>(action);
        }
        draw -= kWeights[static_cast<size_t>(action)];
    }
    return kGetters;
}

// One of the order requests, for the simulator's demo account, with the fields it reads.
COrderInfo RandomOrder(std::mt19937& random, CForexDataCenter& center) {
    static const int kKinds[] = {60, 60, 62, 63, 64, 65, 66, 67, 68, 69};
    static const wchar_t* const kCodes[] = {L"EURUSD", L"USDJPY", L"GBPUSD", L"NOSUCH"};
    COrderInfo order;
    order.AccountCode = L"demo";
    order.MerchCode = kCodes[random() % 4];
    order.OrderKind = kKinds[random() % 10];
    order.InternalNo = center.GetInternalNo();
    order.Value10 = random() % 2 == 0 ? 40 : 41;
    order.Value11 = static_cast<int>(random() % 200);
    order.BargainNo = static_cast<int>(random() % 20);
    order.OrderNo = static_cast<int>(random() % 20);
    order.CloseFlag = order.OrderKind == 62 ? 1 : 0;
    order.Value14 = static_cast<float>(random() % 20000);
    return order;
}

class InterfaceStressTest : public BusySimulatorTest {
  protected:
    void SetUp() override {
        BusySimulatorTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        m_manager = new CSocketManager();
        m_manager->SetNotify(&m_sink);
        m_sink.manager = m_manager;
    }

    void TearDown() override {
        if (m_manager == nullptr) {
            return;
        }
        m_manager->DisConnect();
        m_sink.manager = nullptr;
        m_manager->ReleaseObj();
        for (int action = 0; action < kActions; ++action) {
            RecordProperty(kActionNames[action], static_cast<int>(m_calls[action].load()));
        }
    }

    void Act(EAction action, std::mt19937& random) {
        CForexDataCenter& center = *m_manager->GetDataCenter();
        switch (action) {
            case kCommit:
                m_manager->CommitBill(RandomOrder(random, center));
                break;
            case kLogin:
                m_manager->ReqLogin(L"demo", L"demo");
                break;
            case kLogout:
                m_manager->ReqLogOut(L"demo", L"");
                break;
            case kHistory:
                m_manager->ReqHistoryOrderInfo(0, 2000000000);
                break;
            case kGetters:
                ReadStores(center);
                break;
            case kSetNotify:
                m_manager->SetNotify(&m_sink);
                break;
            case kUnSetNotify:
                m_manager->UnSetNotify();
                break;
            case kGetServer: {
                CServer server;
                m_manager->GetServer(server);
                EXPECT_TRUE(server.Address.IsEmpty() || server.Address == L"127.0.0.1");
                break;
            }
            case kConnect: {
                std::lock_guard<std::mutex> serialised(m_connecting);
                m_manager->ConnectServer(m_target);
                break;
            }
            default: {
                std::lock_guard<std::mutex> serialised(m_connecting);
                m_manager->DisConnect();
            }
        }
        ++m_calls[action];
    }

    // kThreads threads act at random until the phase's time is up.
    void RunPhase(unsigned seed) {
        const auto end = std::chrono::steady_clock::now() + kPhase;
        std::vector<std::thread> threads;
        for (int i = 0; i < kThreads; ++i) {
            threads.emplace_back([this, end, seed, i] {
                std::mt19937 random(seed + static_cast<unsigned>(i));
                while (std::chrono::steady_clock::now() < end) {
                    Act(Draw(random), random);
                    std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        // The terminal tidies up between phases: no thread of its own is running now.
        m_manager->DisConnect();
        m_sink.Clear();
    }

    CTradingSink m_sink;
    CSocketManager* m_manager = nullptr;
    std::mutex m_connecting;
    std::array<std::atomic<long>, kActions> m_calls{};
};

// What a last session leaves must hang together: one account, the instruments with sane quotes,
// and positions, orders and history lines only of those instruments.
void ExpectConsistentStores(CForexDataCenter& center) {
    ReadStores(center);
    CAccountInfo account;
    center.GetAccountInfo(account);
    EXPECT_EQ(account.AccountCode, L"demo");
    EXPECT_GE(account.Funds.GetSize(), 1);
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    ASSERT_FALSE(merchs.IsEmpty());
    std::set<std::wstring> codes;
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        codes.insert(merchs[i].MerchCode.GetString());
    }
    CBargainArray bargains;
    center.GetBargainsInfo(bargains);
    for (INT_PTR i = 0; i < bargains.GetSize(); ++i) {
        EXPECT_EQ(codes.count(bargains[i].MerchCode.GetString()), 1u) << "bargain " << i;
    }
    COrderInfoArray orders;
    center.GetOrdersInfo(orders);
    for (INT_PTR i = 0; i < orders.GetSize(); ++i) {
        EXPECT_EQ(codes.count(orders[i].MerchCode.GetString()), 1u) << "order " << i;
    }
    CHistoryOrderInfoArray history;
    center.GetHistoryOrderInfo(history);
    for (INT_PTR i = 0; i < history.GetSize(); ++i) {
        EXPECT_EQ(codes.count(history[i].MerchCode.GetString()), 1u) << "history " << i;
    }
}

TEST_F(InterfaceStressTest, EveryOperationFromSeveralThreadsWithAndWithoutCapture) {
    const auto started = std::chrono::steady_clock::now();
    RunPhase(25);
    {
        CTempFolder captures("twcap-stress");
        ::setenv("TRADEWIRE_CAPTURE_DIR", captures.Path().c_str(), 1);
        RunPhase(2025);
        ::unsetenv("TRADEWIRE_CAPTURE_DIR");
        EXPECT_FALSE(captures.Files().empty()) << "no connection was captured";
    }

    m_manager->SetNotify(&m_sink);
    ASSERT_TRUE(m_manager->ConnectServer(m_target));
    ASSERT_TRUE(m_manager->ReqLogin(L"demo", L"demo"));
    ASSERT_TRUE(WaitForLine(m_sink, "OnRealtimePrice"));
    ExpectConsistentStores(*m_manager->GetDataCenter());
    long rounds = 0;
    for (const auto& calls : m_calls) {
        rounds += calls.load();
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - started);
    RecordProperty("rounds", static_cast<int>(rounds));
    RecordProperty("seconds", static_cast<int>(seconds.count()));
    EXPECT_GT(m_calls[kConnect].load(), 0);
    EXPECT_GT(m_calls[kCommit].load(), 0);
}

}  // namespace
