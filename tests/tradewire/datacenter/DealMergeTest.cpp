#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "MergeTestSink.h"
#include "datacenter/DealMerge.h"

namespace {

using Slots = std::vector<int>;

class DealMergeTest : public ::testing::Test {
  protected:
    CForexDataCenter center;
    CDataCenterAccess access{center};
    CLastCommittedOrder lastOrder;
    CMergeTestSink sink;

    void SetUp() override {
        center.SetNotify(&sink);
        // The worked example's instrument: a gain of 0.25 on 2 lots is worth 3 dollars.
        CForexMerch merch;
        merch.MerchCode = L"EURUSD";
        merch.PriceUnit = 0.25f;
        merch.ProfitFactor = 3;
        merch.ProfitDivisor = 2;
        access.ForexMerchs().Add(merch);
        CCurrency eur;
        eur.CurrencyCode = L"EUR";
        access.Currencys().Add(eur);
        CCurrency usd;
        usd.CurrencyCode = L"USD";
        usd.UsdRate = 1;
        access.Currencys().Add(usd);
        CFundInfo fund;
        fund.Balance = 1000;
        access.AccountInfo().Funds.Add(fund);
    }

    void CommitRequest(int internalNo, int closeFlag) {
        COrderInfo request;
        request.InternalNo = internalNo;
        request.CloseFlag = closeFlag;
        lastOrder.Store(request);
    }

    void AddPosition(int bargainNo, float lots, float price = 1.5f) {
        CBargain position = MakeBargain(bargainNo, lots, price);
        access.Bargains().Add(position);
    }

    void AddPendingOrder(int orderNo) {
        COrderInfo order = MakeOrder(orderNo, 0, 65);
        access.Orders().Add(order);
    }

    // A closing deal answering request 7 for position `openNo`: direction 40, price 1.25.
    CBargain ClosingDeal(int openNo, float lots) {
        CBargain deal = MakeBargain(900, lots, 1.25f);
        deal.OpenBargainNo = openNo;
        deal.InternalNo = 7;
        deal.CloseFlag = 1;
        deal.Direction = 40;
        return deal;
    }

    void Apply(const CBargain& deal) { CDealMerge(center, lastOrder).Apply(deal); }

    double Balance() { return access.AccountInfo().Funds[0].Balance; }
};

TEST_F(DealMergeTest, DealAnsweringTheRequestOpensAPosition) {
    CommitRequest(7, 0);
    AddPosition(1, 1);
    CBargain deal = MakeBargain(2, 3, 1.1f);
    deal.InternalNo = 7;

    Apply(deal);

    ASSERT_EQ(access.Bargains().GetSize(), 2);
    EXPECT_EQ(access.Bargains()[1].BargainNo, 2);
    EXPECT_EQ(sink.slots, (Slots{15, 7}));
    EXPECT_EQ(sink.deals[0].BargainNo, 2);
    EXPECT_EQ(sink.bargains.GetSize(), 2);
    EXPECT_EQ(lastOrder.InternalNo(), 7);  // a deal never consumes the request
}

TEST_F(DealMergeTest, ExactCloseRemovesPositionAndReportsInOrder) {
    CommitRequest(7, 1);
    AddPosition(1, 1);
    AddPosition(5, 2);
    AddPosition(3, 1);

    Apply(ClosingDeal(5, 2));

    ASSERT_EQ(access.Bargains().GetSize(), 2);
    EXPECT_EQ(access.Bargains()[0].BargainNo, 1);
    EXPECT_EQ(access.Bargains()[1].BargainNo, 3);
    EXPECT_EQ(sink.slots, (Slots{17, 4, 7, 9}));
    EXPECT_EQ(sink.deals[0].BargainNo, 900);
    EXPECT_DOUBLE_EQ(sink.account.Funds[0].Balance, 1003);
    EXPECT_EQ(sink.bargains.GetSize(), 2);
    ASSERT_EQ(sink.history.GetSize(), 1);
    EXPECT_FLOAT_EQ(sink.history[0].Profit, 3.0f);
    EXPECT_DOUBLE_EQ(Balance(), 1003);
}

TEST_F(DealMergeTest, PartialCloseKeepsPositionInPlaceWithFewerLots) {
    CommitRequest(7, 1);
    AddPosition(5, 3);
    AddPosition(6, 1);

    Apply(ClosingDeal(5, 2));

    ASSERT_EQ(access.Bargains().GetSize(), 2);
    EXPECT_EQ(access.Bargains()[0].BargainNo, 5);
    EXPECT_FLOAT_EQ(access.Bargains()[0].Lots, 1.0f);
    EXPECT_DOUBLE_EQ(Balance(), 1003);
    // The history line describes the position as it was before the close.
    EXPECT_EQ(access.HistoryOrders()[0].OpenBargainNo, 5);
}

TEST_F(DealMergeTest, CloseActsOnTheLaterOfTwoPositionsWithOneNumber) {
    CommitRequest(7, 1);
    AddPosition(5, 3, 1.0f);
    AddPosition(5, 2, 1.5f);

    Apply(ClosingDeal(5, 2));

    ASSERT_EQ(access.Bargains().GetSize(), 1);
    EXPECT_FLOAT_EQ(access.Bargains()[0].Price, 1.0f);
    EXPECT_FLOAT_EQ(access.HistoryOrders()[0].OpenPrice, 1.5f);
}

TEST_F(DealMergeTest, CloseOfAnUnknownPositionChangesNothing) {
    CommitRequest(7, 1);
    AddPosition(1, 1);

    Apply(ClosingDeal(5, 1));

    EXPECT_EQ(access.Bargains().GetSize(), 1);
    EXPECT_DOUBLE_EQ(Balance(), 1000);
    EXPECT_EQ(access.HistoryOrders().GetSize(), 0);
    EXPECT_TRUE(sink.slots.empty());
}

TEST_F(DealMergeTest, BalanceSettlesChargesAndCreditsOfDealAndClosedShare) {
    CommitRequest(7, 1);
    CBargain position = MakeBargain(5, 4, 1.5f);
    position.Charge = 8;
    position.Credit = 2;
    position.Value20 = 12;
    access.Bargains().Add(position);
    CBargain deal = ClosingDeal(5, 1);
    deal.Charge = 0.5f;
    deal.Credit = 0.25f;
    deal.Value20 = 1;

    Apply(deal);

    // Profit of 0.25 on 1 lot is 1.5; a quarter of the position's charge and credit is due.
    EXPECT_DOUBLE_EQ(Balance(), 1.5 + 1000 - 0.5 + 0.25 - 8 * 0.25 + 2 * 0.25);
    const CHistoryOrderInfo& line = access.HistoryOrders()[0];
    EXPECT_FLOAT_EQ(line.Charge, 1 * 8.0f / 4 + 0.5f);
    EXPECT_FLOAT_EQ(line.Credit, 1 * 2.0f / 4 + 0.25f);
    EXPECT_FLOAT_EQ(line.Value26, 1 * 12.0f / 4 + 1);
}

TEST_F(DealMergeTest, HistoryLineTakesClosingAndOpenFields) {
    CommitRequest(7, 1);
    CBargain position = MakeBargain(5, 2, 1.5f);
    position.InternalNo = 3;
    position.Value3 = L"o3";
    position.Value4 = L"o4";
    position.Value8 = L"o8";
    position.Value9 = L"o9";
    position.Direction = 41;
    position.TriggerPrice1 = 1.1f;
    position.TriggerPrice2 = 1.9f;
    access.Bargains().Add(position);
    CBargain deal = ClosingDeal(5, 2);
    deal.Value1 = L"c1";
    deal.Value3 = L"c3";
    deal.Value4 = L"c4";
    deal.Value8 = L"c8";
    deal.Value9 = L"c9";

    Apply(deal);

    const CHistoryOrderInfo& line = access.HistoryOrders()[0];
    EXPECT_EQ(line.Value1, L"c3");
    EXPECT_EQ(line.Value2, L"c1");
    EXPECT_EQ(line.MerchCode, L"EURUSD");
    EXPECT_FLOAT_EQ(line.Lots, 2.0f);
    EXPECT_EQ(line.Value5, L"o3");
    EXPECT_EQ(line.Value6, L"o4");
    EXPECT_EQ(line.OpenBargainNo, 5);
    EXPECT_EQ(line.OpenInternalNo, 3);
    EXPECT_EQ(line.Value9, L"o8");
    EXPECT_EQ(line.Value10, L"o9");
    EXPECT_EQ(line.Direction, 41);
    EXPECT_FLOAT_EQ(line.OpenPrice, 1.5f);
    EXPECT_FLOAT_EQ(line.OpenTriggerPrice1, 1.1f);
    EXPECT_FLOAT_EQ(line.OpenTriggerPrice2, 1.9f);
    EXPECT_EQ(line.Value15, L"c3");
    EXPECT_EQ(line.Value16, L"c4");
    EXPECT_EQ(line.BargainNo, 900);
    EXPECT_EQ(line.InternalNo, 7);
    EXPECT_EQ(line.Value19, L"c8");
    EXPECT_EQ(line.Value20, L"c9");
    EXPECT_FLOAT_EQ(line.ClosePrice, 1.25f);
    EXPECT_FLOAT_EQ(line.Profit, 3.0f);  // the closing deal's direction 40 sets the sign
    EXPECT_EQ(line.Value23, 0.0f);
}

TEST_F(DealMergeTest, PositionWithoutLotsGivesNoSettledShareButAnUnguardedHistoryLine) {
    CommitRequest(7, 1);
    CBargain position = MakeBargain(5, 0, 1.5f);
    position.Charge = 8;
    access.Bargains().Add(position);
    CBargain deal = ClosingDeal(5, 1);

    Apply(deal);

    EXPECT_DOUBLE_EQ(Balance(), 1000 + 1.5);  // ratio 0: none of the position's charge
    EXPECT_TRUE(std::isinf(access.HistoryOrders()[0].Charge));
    EXPECT_TRUE(std::isnan(access.HistoryOrders()[0].Credit));  // 1 * 0 / 0
    EXPECT_FLOAT_EQ(access.Bargains()[0].Lots, -1.0f);
}

TEST_F(DealMergeTest, FiguresBeyondTheFloatRangeAreStoredAsZero) {
    CommitRequest(7, 1);
    // Lots of opposite signs near the ends of the range: 6e38 lots would remain.
    AddPosition(5, 3e38f);
    // A price difference of 6e38, and tiny open lots that blow the closed share up.
    CBargain tiny = MakeBargain(6, 1e-44f, 3e38f);
    tiny.Credit = 1e30f;
    access.Bargains().Add(tiny);
    Apply(ClosingDeal(5, -3e38f));
    CBargain deal = ClosingDeal(6, 1);
    deal.Price = -3e38f;
    Apply(deal);

    ASSERT_EQ(access.Bargains().GetSize(), 2);
    EXPECT_EQ(access.Bargains()[0].Lots, 0.0f);
    ASSERT_EQ(access.HistoryOrders().GetSize(), 2);
    EXPECT_EQ(access.HistoryOrders()[1].Profit, 0.0f);
    EXPECT_EQ(access.HistoryOrders()[1].Credit, 0.0f);
    EXPECT_TRUE(std::isfinite(Balance()));
}

TEST_F(DealMergeTest, EmptyFundListSkipsProfitAndBalanceButStillReports) {
    CommitRequest(7, 1);
    access.AccountInfo().Funds.RemoveAll();
    AddPosition(5, 2);

    Apply(ClosingDeal(5, 2));

    EXPECT_EQ(sink.slots, (Slots{17, 4, 7, 9}));
    EXPECT_EQ(access.HistoryOrders()[0].Profit, 0.0f);
}

TEST_F(DealMergeTest, HistoryListHandedToTheSinkIsACopy) {
    CommitRequest(7, 1);
    CHistoryOrderInfo earlier;
    earlier.BargainNo = 1;
    access.HistoryOrders().Add(earlier);
    AddPosition(5, 2);
    sink.onHistory = [](CHistoryOrderInfoArray& list) {
        ASSERT_EQ(list.GetSize(), 2);
        list[0].BargainNo = 99;
        list.RemoveAt(1);
    };

    Apply(ClosingDeal(5, 2));

    ASSERT_EQ(access.HistoryOrders().GetSize(), 2);
    EXPECT_EQ(access.HistoryOrders()[0].BargainNo, 1);
    EXPECT_EQ(access.HistoryOrders()[1].BargainNo, 900);
}

TEST_F(DealMergeTest, ThrowingSinkDoesNotCutTheCloseShort) {
    CommitRequest(7, 1);
    AddPosition(5, 2);
    sink.throwAtSlot = 17;

    Apply(ClosingDeal(5, 2));

    EXPECT_EQ(sink.slots, (Slots{17, 4, 7, 9}));
    EXPECT_EQ(access.HistoryOrders().GetSize(), 1);
}

TEST_F(DealMergeTest, FillRemovesTheLaterOrderThenOpensAndReportsTheOrderList) {
    CommitRequest(7, 0);
    AddPendingOrder(40);
    AddPendingOrder(41);
    AddPendingOrder(40);
    access.Orders()[2].Value3 = L"later";
    CBargain deal = MakeBargain(40, 1, 1.2f);  // a fill carries the order number
    deal.InternalNo = 3;

    Apply(deal);

    ASSERT_EQ(access.Orders().GetSize(), 2);
    EXPECT_TRUE(access.Orders()[0].Value3.IsEmpty());
    EXPECT_EQ(access.Orders()[1].OrderNo, 41);
    ASSERT_EQ(access.Bargains().GetSize(), 1);
    EXPECT_EQ(access.Bargains()[0].BargainNo, 40);
    EXPECT_EQ(sink.slots, (Slots{15, 7, 8}));
    EXPECT_EQ(sink.orders.GetSize(), 2);
}

TEST_F(DealMergeTest, ClosingFillRunsTheClosePath) {
    CommitRequest(7, 0);  // not a close request: the closing deal below is a fill
    AddPendingOrder(40);
    AddPosition(5, 2);
    CBargain deal = ClosingDeal(5, 2);
    deal.BargainNo = 40;

    Apply(deal);

    EXPECT_EQ(access.Orders().GetSize(), 0);
    EXPECT_EQ(access.Bargains().GetSize(), 0);
    EXPECT_DOUBLE_EQ(Balance(), 1003);
    EXPECT_EQ(sink.slots, (Slots{17, 4, 7, 9, 8}));
}

TEST_F(DealMergeTest, FillOfAnUnknownOrderChangesNothing) {
    CommitRequest(7, 0);
    AddPendingOrder(41);

    Apply(MakeBargain(40, 1, 1.2f));

    EXPECT_EQ(access.Orders().GetSize(), 1);
    EXPECT_EQ(access.Bargains().GetSize(), 0);
    EXPECT_TRUE(sink.slots.empty());
}

TEST_F(DealMergeTest, SinkMayReadTheStoresFromInsideAFill) {
    CommitRequest(7, 0);
    AddPendingOrder(40);
    std::vector<INT_PTR> seen;
    sink.onAny = [&](int) {
        COrderInfoArray orders;
        center.GetOrdersInfo(orders);
        CBargainArray bargains;
        center.GetBargainsInfo(bargains);
        CAccountInfo account;
        center.GetAccountInfo(account);
        seen.push_back(orders.GetSize() * 10 + bargains.GetSize());
    };

    Apply(MakeBargain(40, 1, 1.2f));

    EXPECT_EQ(seen, (std::vector<INT_PTR>{1, 1, 1}));
}

TEST_F(DealMergeTest, WithoutSinkStoresChangeExactlyAsWithOne) {
    center.UnSetNotify();
    CommitRequest(7, 1);
    AddPosition(5, 2);
    AddPendingOrder(40);

    Apply(ClosingDeal(5, 2));
    CommitRequest(8, 0);
    CBargain fill = MakeBargain(40, 1, 1.2f);
    Apply(fill);

    EXPECT_DOUBLE_EQ(Balance(), 1003);
    EXPECT_EQ(access.HistoryOrders().GetSize(), 1);
    EXPECT_EQ(access.Orders().GetSize(), 0);
    ASSERT_EQ(access.Bargains().GetSize(), 1);
    EXPECT_EQ(access.Bargains()[0].BargainNo, 40);
    EXPECT_TRUE(sink.slots.empty());
}

}  // namespace
