#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <thread>

#include "NullSink.h"
#include "datacenter/DataCenterAccess.h"
#include "tradewire/ForexDataCenter.h"

namespace {

class CountingSink : public CNullSink {
  public:
    int realtimePrices = 0;
    CForexMerch lastMerch;

    void OnRealtimePrice(const CForexMerch& merch) override {
        ++realtimePrices;
        lastMerch = merch;
    }
};

CForexMerch MakeMerch(const wchar_t* code) {
    CForexMerch merch;
    merch.MerchCode = code;
    return merch;
}

TEST(ForexDataCenter, FreshCenterHasEmptyStoresAndNoError) {
    CForexDataCenter center;
    EXPECT_EQ(center.GetErrorCode(), EC_NoError);
    CAccountInfo account;
    center.GetAccountInfo(account);
    EXPECT_TRUE(account.AccountCode.IsEmpty());
    CBaseInfo base;
    center.GetBaseInfo(base);
    CGroup group;
    center.GetGroupInfo(group);
    CBroadCast broadCast;
    center.GetBroadCast(broadCast);
    EXPECT_EQ(broadCast.Value1, 0);
}

TEST(ForexDataCenter, GettersResizeNonEmptyCallerArraysToTheStore) {
    CForexDataCenter center;
    CBargainArray bargains;
    bargains.SetSize(3);
    center.GetBargainsInfo(bargains);
    EXPECT_TRUE(bargains.IsEmpty());

    CDataCenterAccess access(center);
    access.ForexMerchs().Add(*std::make_unique<CForexMerch>(MakeMerch(L"EURUSD")));
    CForexMerchArray merchs;
    merchs.SetSize(5);
    center.GetForexMerchs(merchs);
    ASSERT_EQ(merchs.GetSize(), 1);
    EXPECT_EQ(merchs[0].MerchCode, L"EURUSD");

    CCurrencyArray currencys;
    COrderInfoArray orders;
    CHistoryOrderInfoArray history;
    currencys.SetSize(2);
    orders.SetSize(2);
    history.SetSize(2);
    center.GetCurrencysInfo(currencys);
    center.GetOrdersInfo(orders);
    center.GetHistoryOrderInfo(history);
    EXPECT_TRUE(currencys.IsEmpty() && orders.IsEmpty() && history.IsEmpty());
}

TEST(ForexDataCenter, GetInternalNoHandsOutConsecutiveNumbersAndGoesOnAtOneAfterIntMax) {
    CForexDataCenter center;
    CDataCenterAccess(center).AccountInfo().InternalNo = 41;
    EXPECT_EQ(center.GetInternalNo(), 41);
    EXPECT_EQ(center.GetInternalNo(), 42);
    CAccountInfo account;
    center.GetAccountInfo(account);
    EXPECT_EQ(account.InternalNo, 43);

    CDataCenterAccess(center).AccountInfo().InternalNo = INT_MAX - 1;
    EXPECT_EQ(center.GetInternalNo(), INT_MAX - 1);
    EXPECT_EQ(center.GetInternalNo(), INT_MAX);
    EXPECT_EQ(center.GetInternalNo(), 1);
    EXPECT_EQ(center.GetInternalNo(), 2);
    // A negative start counts up through 0 as before.
    CDataCenterAccess(center).AccountInfo().InternalNo = INT_MIN;
    EXPECT_EQ(center.GetInternalNo(), INT_MIN);
    EXPECT_EQ(center.GetInternalNo(), INT_MIN + 1);
}

TEST(ForexDataCenter, SetNotifyWithNullKeepsTheSinkAndUnSetNotifyClearsIt) {
    CForexDataCenter center;
    CDataCenterAccess(center).ForexMerchs().Add(*std::make_unique<CForexMerch>(MakeMerch(L"X")));
    CountingSink sink;
    center.SetNotify(&sink);
    center.SetNotify(nullptr);
    CForexRealtimePrice quote;
    quote.MerchCode = L"X";
    center.OnRealtimePriceUpdate(quote);
    EXPECT_EQ(sink.realtimePrices, 1);
    center.UnSetNotify();
    center.OnRealtimePriceUpdate(quote);
    EXPECT_EQ(sink.realtimePrices, 1);
}

TEST(ForexDataCenter, QuoteUpdateMatchesTheCodeExactlyAndReportsACopy) {
    CForexDataCenter center;
    CDataCenterAccess access(center);
    access.ForexMerchs().Add(*std::make_unique<CForexMerch>(MakeMerch(L"EURUSD")));
    access.ForexMerchs().Add(*std::make_unique<CForexMerch>(MakeMerch(L"EURUSD")));
    CountingSink sink;
    center.SetNotify(&sink);

    CForexRealtimePrice quote;
    quote.MerchCode = L"eurusd";
    quote.Bid = 1.25f;
    center.OnRealtimePriceUpdate(quote);
    EXPECT_EQ(sink.realtimePrices, 0);

    quote.MerchCode = L"EURUSD";
    quote.QuoteStamp = L"t1";
    center.OnRealtimePriceUpdate(quote);
    EXPECT_EQ(sink.realtimePrices, 1);
    EXPECT_EQ(sink.lastMerch.RealtimePrice.QuoteStamp, L"t1");
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    EXPECT_EQ(merchs[0].RealtimePrice.Bid, 1.25f);
    EXPECT_EQ(merchs[1].RealtimePrice.Bid, 0.0f);  // only the first match takes the quote
}

// A writer rewrites the whole bargain list under its lock, every element carrying the same
// generation number; a reader that ever sees two generations in one copy saw a half-written
// store.
TEST(ForexDataCenter, ReadersNeverSeeAHalfWrittenStore) {
    CForexDataCenter center;
    CDataCenterAccess access(center);
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<int> copies{0};

    std::thread writer([&] {
        for (int generation = 1; generation <= 2000; ++generation) {
            CScopedLock guard(access.BargainsLock());
            access.Bargains().SetSize(0);
            for (int i = 0; i < 50; ++i) {
                CBargain bargain;
                bargain.BargainNo = generation;
                bargain.MerchCode = L"EURUSD";
                access.Bargains().Add(bargain);
                std::this_thread::yield();
            }
        }
        stop = true;
    });
    auto reader = [&] {
        CBargainArray copy;
        while (!stop) {
            center.GetBargainsInfo(copy);
            ++copies;
            if (copy.IsEmpty()) {
                continue;
            }
            if (copy.GetSize() != 50) {
                ++torn;
            }
            for (INT_PTR i = 0; i < copy.GetSize(); ++i) {
                if (copy[i].BargainNo != copy[0].BargainNo) {
                    ++torn;
                }
            }
        }
    };
    std::thread reader1(reader);
    std::thread reader2(reader);
    writer.join();
    reader1.join();
    reader2.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(copies.load(), 0);
}

}  // namespace
