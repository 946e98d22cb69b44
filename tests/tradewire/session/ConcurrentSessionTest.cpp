#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "SessionFixture.h"

namespace {

constexpr int kRounds = 12;
constexpr int kOpenBase = 1000;   // pending order, then the position its fill opens
constexpr int kCloseBase = 5000;  // pending order whose fill closes that position
// Callbacks per round: 2 quotes; 3 per unsolicited order; 4 for the opening fill (temporary
// list, 15, 7, 8); 6 for the closing fill (temporary list, 17, 4, 7, 9, 8).
constexpr size_t kCallbacksPerRound = 2 + 3 + 4 + 3 + 6;

COrderInfo PendingOrder(int orderNo) {
    COrderInfo order;
    order.AccountCode = L"ACC1";
    order.MerchCode = L"EURUSD";
    order.OrderNo = orderNo;
    order.OrderKind = 65;
    order.Value15 = -1;  // placed by the server itself
    order.TriggerPrice1 = 1.1f;
    return order;
}

CBargain Fill(int orderNo, int closeFlag, int openNo, float price) {
    CBargain deal;
    deal.MerchCode = L"EURUSD";
    deal.BargainNo = orderNo;
    deal.OpenBargainNo = openNo;
    deal.Direction = 40;
    deal.CloseFlag = closeFlag;
    deal.Lots = 2;
    deal.Price = price;
    return deal;
}

float QuoteBid(int round) {
    return 1.2f + 0.001f * static_cast<float>(round);
}

// Every copy a getter returns must be one the processing thread could have left complete:
// each record satisfies what its whole round wrote, never half of it.
class CopyChecker {
  public:
    explicit CopyChecker(CForexDataCenter& center) : m_center(center) {}

    void CheckOnce() {
        CheckBargains();
        CheckOrders();
        CheckAccount();
        CheckHistory();
        CheckQuotes();
        ++m_passes;
    }

    std::vector<std::string> faults;
    int Passes() const { return m_passes; }

  private:
    void Fault(const std::string& what) {
        if (faults.size() < 20) {
            faults.push_back(what);
        }
    }

    void CheckBargains() {
        CBargainArray bargains;
        m_center.GetBargainsInfo(bargains);
        for (INT_PTR i = 0; i < bargains.GetSize(); ++i) {
            const CBargain& b = bargains[i];
            if (b.BargainNo < kOpenBase || b.BargainNo >= kOpenBase + kRounds || b.Lots != 2 ||
                b.Price != 1.5f || b.MerchCode != L"EURUSD") {
                Fault("bargain #" + std::to_string(b.BargainNo));
            }
        }
    }

    void CheckOrders() {
        COrderInfoArray orders;
        m_center.GetOrdersInfo(orders);
        for (INT_PTR i = 0; i < orders.GetSize(); ++i) {
            const COrderInfo& o = orders[i];
            const bool known = (o.OrderNo >= kOpenBase && o.OrderNo < kOpenBase + kRounds) ||
                               (o.OrderNo >= kCloseBase && o.OrderNo < kCloseBase + kRounds);
            if (!known || o.TriggerPrice1 != 1.1f || o.Value15 != -1) {
                Fault("order #" + std::to_string(o.OrderNo));
            }
        }
    }

    void CheckAccount() {
        CAccountInfo account;
        m_center.GetAccountInfo(account);
        if (account.Funds.GetSize() != 1 || account.AccountCode != L"ACC1") {
            Fault("account shape");
            return;
        }
        const double gained = account.Funds[0].Balance - 5000;
        const double closes = gained / 3;
        if (closes < 0 || closes > kRounds || std::fabs(closes - std::round(closes)) > 1e-9) {
            Fault("balance " + std::to_string(account.Funds[0].Balance));
        }
    }

    void CheckHistory() {
        CHistoryOrderInfoArray history;
        m_center.GetHistoryOrderInfo(history);
        if (history.GetSize() > kRounds) {
            Fault("history size");
        }
        for (INT_PTR i = 0; i < history.GetSize(); ++i) {
            const CHistoryOrderInfo& line = history[i];
            if (line.OpenBargainNo != kOpenBase + i || line.Profit != 3 || line.Lots != 2) {
                Fault("history line " + std::to_string(i));
            }
        }
    }

    void CheckQuotes() {
        CForexMerchArray merchs;
        m_center.GetForexMerchs(merchs);
        for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
            const CForexRealtimePrice& quote = merchs[i].RealtimePrice;
            if (quote.QuoteStamp.IsEmpty() || merchs[i].MerchCode != L"EURUSD") {
                continue;
            }
            const int round = std::stoi(std::wstring(quote.QuoteStamp.Mid(1).GetString()));
            if (quote.Bid != QuoteBid(round) || quote.MerchCode != L"EURUSD") {
                Fault("quote " + std::to_string(round));
            }
        }
    }

    CForexDataCenter& m_center;
    int m_passes = 0;
};

using ConcurrentSessionTest = SessionTest;

TEST_F(ConcurrentSessionTest, GettersAndRequestsFromCallbacksWhileTheStreamIsApplied) {
    ASSERT_EQ(PlayLogin().size(), 5u);
    // A request in flight that no event answers, so every event below is the server's own.
    Commit(Request(63));

    // The terminal reacts on the processing thread: it reads stores and sends requests.
    std::atomic<int> requestsFromCallbacks{0};
    sink.SetOnEntry([&](const std::string& line) {
        CBargainArray bargains;
        Center().GetBargainsInfo(bargains);
        if (line.rfind("OnBargainOpened", 0) == 0) {
            COrderInfo triggers = Request(63);
            triggers.BargainNo = bargains.IsEmpty() ? 0 : bargains[0].BargainNo;
            triggers.TriggerPrice1 = 1.4f;
            manager->CommitBill(triggers);
            ++requestsFromCallbacks;
        } else if (line.rfind("OnHistoryOrderInfo", 0) == 0) {
            manager->ReqHistoryOrderInfo(0, 86400);
            ++requestsFromCallbacks;
        }
    });

    std::atomic<bool> stop{false};
    CopyChecker checker(Center());
    std::thread reader([&] {
        while (!stop.load()) {
            checker.CheckOnce();
        }
    });

    const size_t before = sink.Lines().size();
    for (int round = 0; round < kRounds; ++round) {
        const std::string stamp = "q" + std::to_string(round);
        const float bid = QuoteBid(round);
        ASSERT_TRUE(server.Send(QuotesLine({{{"EURUSD", bid, bid + 0.0005f, stamp.c_str()}},
                                            {{"USDJPY", 110, 110.1f, stamp.c_str()}}})));
        ASSERT_TRUE(server.Send(OrderEventLine(7002, PendingOrder(kOpenBase + round))));
        ASSERT_TRUE(server.Send(DealEventLine(Fill(kOpenBase + round, 0, 0, 1.5f))));
        ASSERT_TRUE(server.Send(OrderEventLine(7002, PendingOrder(kCloseBase + round))));
        ASSERT_TRUE(
            server.Send(DealEventLine(Fill(kCloseBase + round, 1, kOpenBase + round, 1.25f))));
    }
    const bool allArrived = sink.WaitFor(before + kRounds * kCallbacksPerRound, kWait);
    stop = true;
    reader.join();
    sink.SetOnEntry(nullptr);
    ASSERT_TRUE(allArrived);

    RecordProperty("getter_passes", checker.Passes());
    EXPECT_GT(checker.Passes(), 0);
    EXPECT_TRUE(checker.faults.empty()) << (checker.faults.empty() ? "" : checker.faults[0]);
    EXPECT_EQ(requestsFromCallbacks.load(), 2 * kRounds);
    EXPECT_TRUE(server.WaitForLines(1 + 2 * kRounds, kWait));  // the first commit, then ours

    CBargainArray bargains;
    Center().GetBargainsInfo(bargains);
    EXPECT_EQ(bargains.GetSize(), 0);
    COrderInfoArray orders;
    Center().GetOrdersInfo(orders);
    EXPECT_EQ(orders.GetSize(), 0);
    CHistoryOrderInfoArray history;
    Center().GetHistoryOrderInfo(history);
    EXPECT_EQ(history.GetSize(), kRounds);
    CAccountInfo account;
    Center().GetAccountInfo(account);
    EXPECT_DOUBLE_EQ(account.Funds[0].Balance, 5000 + 3 * kRounds);
}

}  // namespace
