#include <gtest/gtest.h>

#include <map>
#include <string>
#include <type_traits>

#include "InterfaceLayout.h"
#include "datacenter/DataCenterAccess.h"
#include "tradewire/Records.h"
#include "tradewire/Server.h"

namespace {

TEST(Records, DefaultsAreZeroAndEmpty) {
    const COrderInfo order;
    EXPECT_EQ(order.CloseFlag, 0);
    EXPECT_EQ(order.InternalNo, 0);
    EXPECT_TRUE(order.Value28.IsEmpty());
    const CBargain bargain;
    EXPECT_EQ(bargain.CloseFlag, 0);
    EXPECT_EQ(bargain.Direction, 0);
    const CForexMerch merch;
    EXPECT_EQ(merch.Value37[15], 0.0f);
    EXPECT_EQ(merch.Value46[13], 0.0f);
    EXPECT_EQ(merch.RealtimePrice.Ask, 0.0f);
    const CBaseInfo base;
    EXPECT_TRUE(base.Value4[16].IsEmpty());
    const CGroup group;
    EXPECT_EQ(group.Value8[26], 0.0f);
    const CAccountInfo account;
    EXPECT_TRUE(account.Funds.IsEmpty());
    EXPECT_EQ(account.InternalNo, 0);
}

TEST(Records, WidthsAndPolymorphismMatchTheInterface) {
    static_assert(sizeof(CAccountInfo::Value23) == 4, "the account's long is 32 bits");
    static_assert(sizeof(CFundInfo::Balance) == 8);
    static_assert(sizeof(CBargain::Lots) == 4);
    static_assert(std::has_virtual_destructor_v<CForexMerch>);
    static_assert(!std::is_polymorphic_v<COrderInfo>);
    static_assert(!std::is_polymorphic_v<CAccountInfo>);
    static_assert(std::is_same_v<std::underlying_type_t<E_ErrorCode>, int>);

    SUCCEED();
}

std::map<std::string, size_t> g_layoutSizes;

void RecordLayoutLine(const char* name, const char* field, size_t actual, size_t expected) {
    if (std::string(field) == "sizeof") {
        g_layoutSizes[name] = actual;
    }
    if (actual != expected) {
        ADD_FAILURE() << name << "::" << field << " is at " << actual << ", the widths give "
                      << expected;
    }
}

// Every record field sits where its declaration order puts it under the interface's widths.
TEST(Records, EveryFieldSitsWhereTheInterfaceWidthsPutIt) {
    g_layoutSizes.clear();
    EXPECT_EQ(CheckInterfaceLayout(RecordLayoutLine), 0);
    if (sizeof(void*) != 8) {
        return;
    }
    const std::map<std::string, size_t> pinned = {
        {"CString", 8},           {"CArray<CBargain, CBargain&>", 40},
        {"CCriticalSection", 40}, {"CForexRealtimePrice", 32},
        {"CForexMerch", 424},     {"COrderInfo", 160},
        {"CBargain", 112},        {"CHistoryOrderInfo", 152},
        {"CCurrency", 48},        {"CBroadCast", 56},
        {"CGroup", 152},          {"CBaseInfo", 328},
        {"CFundInfo", 96},        {"CAccountInfo", 384},
        {"CServer", 16},          {"CForexDataCenter", 1552},
    };
    EXPECT_EQ(g_layoutSizes, pinned);
}

TEST(Records, DataCenterStoresAndLocksSitWhereTheInterfaceWidthsPutThem) {
    CForexDataCenter center;
    CDataCenterAccess access(center);
    const auto offset = [&center](const void* member) {
        return static_cast<size_t>(static_cast<const char*>(member) -
                                   reinterpret_cast<const char*>(&center));
    };
    const size_t actual[] = {
        offset(&access.BaseInfo()),      offset(&access.BaseInfoLock()),
        offset(&access.Currencys()),     offset(&access.CurrencysLock()),
        offset(&access.Group()),         offset(&access.GroupLock()),
        offset(&access.BroadCast()),     offset(&access.BroadCastLock()),
        offset(&access.AccountInfo()),   offset(&access.AccountInfoLock()),
        offset(&access.ForexMerchs()),   offset(&access.ForexMerchsLock()),
        offset(&access.Bargains()),      offset(&access.BargainsLock()),
        offset(&access.Orders()),        offset(&access.OrdersLock()),
        offset(&access.HistoryOrders()), offset(&access.HistoryOrdersLock()),
        offset(&access.ErrorCode()),     offset(&access.ErrorCodeLock()),
    };
    const ExpectedInterfaceLayout expected = ComputeExpectedLayout();
    for (size_t i = 0; i < sizeof(actual) / sizeof(actual[0]); ++i) {
        EXPECT_EQ(actual[i], expected.dataCenterOffsets[i + 2]) << "member " << i + 2;
    }
}

TEST(Records, CopiesAreMemberWiseAndDeep) {
    CForexMerch merch;
    merch.MerchCode = L"EURUSD";
    merch.Value37[3] = 1.5f;
    merch.RealtimePrice.Bid = 1.2f;
    merch.RealtimePrice.QuoteStamp = L"10:00";
    CForexMerch copy(merch);
    EXPECT_EQ(copy.RealtimePrice.Bid, 1.2f);
    EXPECT_EQ(copy.RealtimePrice.QuoteStamp, L"10:00");
    EXPECT_EQ(copy.Value37[3], 1.5f);
    copy.RealtimePrice.QuoteStamp = L"changed";
    EXPECT_EQ(merch.RealtimePrice.QuoteStamp, L"10:00");

    CAccountInfo account;
    CFundInfo fund;
    fund.Balance = 100.25;
    account.Funds.Add(fund);
    account.Merchs.Add(merch);
    CAccountInfo accountCopy;
    accountCopy = account;
    accountCopy.Funds[0].Balance = 1;
    EXPECT_EQ(account.Funds[0].Balance, 100.25);
    EXPECT_EQ(accountCopy.Merchs[0].RealtimePrice.Bid, 1.2f);
}

}  // namespace
