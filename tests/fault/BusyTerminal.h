#pragma once
// A terminal kept busy against the simulator, for the tests that end and make connections while
// it trades: the simulator with a lively feed, a sink that reads the stores and trades from
// inside the callbacks, and a whole read of every store from any thread. Header-only; the
// simulator's built-in accounts and instruments are assumed.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "Eventually.h"
#include "RecordingSink.h"
#include "SimulatorThread.h"
#include "tradewire/AbsForexManager.h"
#include "tradewire/ForexDataCenter.h"

// The simulator on loopback with 50 quotes and one notice a second, and the server record that
// reaches it.
class BusySimulatorTest : public ::testing::Test {
  protected:
    static constexpr std::chrono::seconds kWait{20};

    void SetUp() override {
        sim::SimOptions options = CSimulatorThread::QuietOptions();
        options.tickRate = 50;
        options.noticeSeconds = 1;
        std::string error;
        ASSERT_TRUE(m_sim.Start(options, error)) << error;
        m_target.Address = L"127.0.0.1";
        m_target.Port = m_sim.Port();
    }

    // True once the sink has heard a callback whose line starts with `prefix`.
    static bool WaitForLine(const CRecordingSink& sink, const std::string& prefix) {
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
inline void ReadStores(CForexDataCenter& center) {
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
