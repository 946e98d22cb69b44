#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <tradewire/ForexNotifyAdapter.h>

#include "MemoryLimit.h"
#include "datacenter/DataCenterAccess.h"
#include "datacenter/QuoteIndex.h"
#include "tradewire/ForexDataCenter.h"

namespace {

class CountingSink : public CForexNotifyAdapter {
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

// The instrument a quote goes to must be the one the walk from the front finds (exact code,
// first of repeated codes) however the list changed in between: grown, refilled at the same
// length in the same storage, or a code rewritten in place by a writer that says so.
TEST(ForexDataCenter, QuotesReachTheInstrumentTheWalkFindsWhateverTheListWentThrough) {
    const std::vector<const wchar_t*> codes = {L"EURUSD", L"eurusd", L"GBPUSD", L"USDJPY",
                                               L"X",      L"",       L"EURUSD "};
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        CForexDataCenter center;
        CDataCenterAccess access(center);
        CForexMerchArray& merchs = access.ForexMerchs();
        CForexMerchArray expected;
        for (int step = 0; step < 60; ++step) {
            const wchar_t* code = codes[random() % codes.size()];
            switch (random() % 5) {
                case 0:
                    merchs.Add(*std::make_unique<CForexMerch>(MakeMerch(code)));
                    expected.Add(*std::make_unique<CForexMerch>(MakeMerch(code)));
                    break;
                case 1: {  // the list parser's refill: emptied, filled anew, then said so
                    CScopedLock guard(access.ForexMerchsLock());
                    const INT_PTR size = merchs.GetSize();
                    merchs.SetSize(0);
                    expected.SetSize(0);
                    for (INT_PTR i = 0; i < size; ++i) {
                        const wchar_t* refill = codes[random() % codes.size()];
                        merchs.Add(*std::make_unique<CForexMerch>(MakeMerch(refill)));
                        expected.Add(*std::make_unique<CForexMerch>(MakeMerch(refill)));
                    }
                    CQuoteIndex::Of(center).Invalidate();
                    break;
                }
                case 2:
                    if (merchs.GetSize() > 0) {
                        CScopedLock guard(access.ForexMerchsLock());
                        const INT_PTR at = static_cast<INT_PTR>(random()) % merchs.GetSize();
                        merchs[at].MerchCode = code;
                        expected[at].MerchCode = code;
                        CQuoteIndex::Of(center).Invalidate();
                    }
                    break;
                default: {
                    CForexRealtimePrice quote;
                    quote.MerchCode = code;
                    quote.Bid = static_cast<float>(step + 1);
                    center.OnRealtimePriceUpdate(quote);
                    for (INT_PTR i = 0; i < expected.GetSize(); ++i) {
                        if (expected[i].MerchCode == quote.MerchCode) {
                            expected[i].RealtimePrice = quote;
                            break;
                        }
                    }
                    break;
                }
            }
            CForexMerchArray stored;
            center.GetForexMerchs(stored);
            ASSERT_EQ(stored.GetSize(), expected.GetSize());
            for (INT_PTR i = 0; i < stored.GetSize(); ++i) {
                ASSERT_EQ(stored[i].RealtimePrice.Bid, expected[i].RealtimePrice.Bid)
                    << "round " << round << " step " << step << " at " << i;
            }
        }
    }
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
                // A window for a reader inside the write, should the lock fail to keep it out;
                // not after every record, as each yield on a loaded machine can cost a slice.
                if (i % 10 == 9) {
                    std::this_thread::yield();
                }
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

namespace {

// A history store of about 64 MB, copied where only 16 MB more may be had: the getter throws
// CMemoryException and the caller's array keeps exactly what it held.
int CopyHistoryUnderTheLimit(void* context) {
    auto& center = *static_cast<CForexDataCenter*>(context);
    CArray<CHistoryOrderInfo, CHistoryOrderInfo&> history;
    CHistoryOrderInfo line;
    line.MerchCode = L"EURUSD";
    history.Add(line);
    history.SetSize(1, 7);
    try {
        center.GetHistoryOrderInfo(history);
        return 1;
    } catch (const CMemoryException&) {
    }
    if (history.GetSize() != 1 || history[0].MerchCode != L"EURUSD") {
        return 2;
    }
    return 0;
}

TEST(ForexDataCenter, AGetterThatRunsOutOfMemoryThrowsAndLeavesTheCallersCopyAsItWas) {
    CForexDataCenter center;
    {
        CDataCenterAccess access(center);
        CHistoryOrderInfo line;
        line.Value1 = CString(std::wstring(16384, L'h').c_str());
        access.HistoryOrders().SetSize(1024);
        for (INT_PTR i = 0; i < 1024; ++i) {
            access.HistoryOrders()[i] = line;
        }
    }
    const int result = RunUnderMemoryLimit(16 << 20, CopyHistoryUnderTheLimit, &center);
    if (result < 0) {
        GTEST_SKIP() << "no address-space limit here";
    }
    EXPECT_EQ(result, 0);
}

}  // namespace
