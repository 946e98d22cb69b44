#include "ProtocolTestFixture.h"

namespace {

using TradeListParsers = ProtocolTest;

// A deal: number, instrument, internal number, lots, price, trigger prices.
CWireBody& Deal(CWireBody& body, int no, const char* code, int internalNo, double tp1 = 0,
                double tp2 = 0) {
    body.Empty(1).Text(code).Empty(2).Int(no).Int(0).Int(internalNo).Empty(2).Int(40).Int(0);
    body.Num(1).Num(1.5).Num(tp1).Num(tp2).Empty(7);
    return body.EndRecord();
}

// An order: number, kind, bargain, internal number, trigger prices.
CWireBody& Order(CWireBody& body, int no, int kind, int bargainNo, int internalNo, double tp1 = 0,
                 double tp2 = 0) {
    body.Text("ACC").Text("EURUSD").Empty(1).Int(internalNo).Empty(1).Int(no).Int(bargainNo);
    body.Int(kind).Empty(8).Num(tp1).Num(tp2).Empty(13);
    return body.EndRecord();
}

TEST_F(TradeListParsers, EveryDealFieldLandsInItsTarget) {
    CBargainArray bargains =
        ListAfter(9512, NumberedRecord(21), &CForexDataCenter::GetBargainsInfo);
    ASSERT_EQ(bargains.GetSize(), 1);
    const CBargain& b = bargains[0];
    ExpectFromFields(b.Value1, 1, b.MerchCode, 2, b.Value4, 4, b.BargainNo, 5, b.OpenBargainNo, 6,
                     b.InternalNo, 7, b.Value9, 9, b.Direction, 10, b.CloseFlag, 11, b.Lots, 12,
                     b.Price, 13, b.TriggerPrice1, 14, b.TriggerPrice2, 15, b.Value16, 16, b.Charge,
                     17, b.Credit, 18, b.Value19, 19, b.Value20, 20, b.Value21, 21);
}

TEST_F(TradeListParsers, EveryOrderFieldLandsInItsTargetAndShortRecordsAreKept) {
    CWireBody body;
    Numbered(body, 1, 31).EndRecord();
    Numbered(body, 1, 20).EndRecord();
    COrderInfoArray orders = ListAfter(9513, body, &CForexDataCenter::GetOrdersInfo);
    ASSERT_EQ(orders.GetSize(), 2);
    const COrderInfo& o = orders[0];
    ExpectFromFields(o.AccountCode, 1, o.Value3, 3, o.InternalNo, 4, o.Value5, 5, o.OrderNo, 6,
                     o.BargainNo, 7, o.OrderKind, 8, o.Value9, 9, o.Value12, 12, o.CloseFlag, 13,
                     o.Value14, 14, o.Value15, 15, o.Value16, 16, o.TriggerPrice1, 17,
                     o.TriggerPrice2, 18, o.Value19, 19, o.Value20, 20, o.Value21, 21, o.Value22,
                     22, o.Value23, 23, o.Value24, 24, o.Value25, 25, o.Value26, 26, o.Value27, 27,
                     o.Value28, 28, o.Value31, 31);
    EXPECT_FLOAT_EQ(orders[1].Value20, 20.25f);
    EXPECT_FLOAT_EQ(orders[1].Value21, 0.0f);
    EXPECT_TRUE(orders[1].Value28.IsEmpty());
    EXPECT_FLOAT_EQ(orders[1].Value31, 0.0f);
}

TEST_F(TradeListParsers, DealListIsAlwaysReportedOrderListOnlyWhenNotEmpty) {
    CWireBody deals;
    Deal(deals, 1, "A", 0);
    Deal(deals, 2, "B", 0);
    Deal(deals, 3, "C", 0).Raw("D\x01");
    EXPECT_EQ(Feed(9512, deals), Result::Handled);
    CWireBody orders;
    Order(orders, 5, 64, 0, 0);
    EXPECT_EQ(Feed(9513, orders), Result::Handled);
    EXPECT_EQ(Log().size(), 2u);

    sink.Clear();
    EXPECT_EQ(Feed(9512, ""), Result::NothingRead);
    EXPECT_EQ(Feed(9513, ""), Result::NothingRead);
    Feed(9513, orders);
    EXPECT_EQ(Feed(9513, "\x04"), Result::NothingRead);
    EXPECT_EQ(Feed(9512, "\x04"), Result::Handled);
    CBargainArray bargainList;
    Center().GetBargainsInfo(bargainList);
    COrderInfoArray orderList;
    Center().GetOrdersInfo(orderList);
    EXPECT_TRUE(bargainList.IsEmpty());
    EXPECT_TRUE(orderList.IsEmpty());
    EXPECT_EQ(Log(), (Lines{"OnBargainsInfo n=0 []",
                            "OnOrdersInfo n=1 [#5 EURUSD kind=64 in=0 bargain=0 tp=0/0]",
                            "OnBargainsInfo n=0 []"}));
}

TEST_F(TradeListParsers, OrderListSynchronisesTriggerPricesOfItsBargains) {
    CWireBody none;
    Order(none, 1, 63, 10, 0, 1.1, 1.3);
    Feed(9513, none);  // no bargains yet: nothing to synchronise
    CWireBody bargains;
    Deal(bargains, 10, "A", 0, 1.1, 1.3);  // equal to the order: walk goes on
    Deal(bargains, 10, "B", 0, 1.0, 1.3);  // differs: changed, walk stops
    Deal(bargains, 10, "C", 0, 1.0, 1.3);  // not reached
    Deal(bargains, 11, "D", 0, 2.0, 2.0);
    Feed(9512, bargains);
    sink.Clear();

    CWireBody orders;
    Order(orders, 1, 63, 10, 0, 1.1, 1.3);
    Order(orders, 2, 64, 11, 0, 9.0, 9.0);  // not a trigger-price order
    ASSERT_EQ(Feed(9513, orders), Result::Handled);
    EXPECT_EQ(Log(), (Lines{"OnOrdersInfo n=2 [#1 EURUSD kind=63 in=0 bargain=10 tp=1.1/1.3, "
                            "#2 EURUSD kind=64 in=0 bargain=11 tp=9/9]",
                            "OnBargainsInfo n=4 [#10 A in=0 dir=40 close=0 lots=1 price=1.5 "
                            "tp=1.1/1.3, #10 B in=0 dir=40 close=0 lots=1 price=1.5 tp=1.1/1.3, "
                            "#10 C in=0 dir=40 close=0 lots=1 price=1.5 tp=1/1.3, #11 D in=0 "
                            "dir=40 close=0 lots=1 price=1.5 tp=2/2]"}));

    sink.Clear();
    ASSERT_EQ(Feed(9513, orders), Result::Handled);  // A and B equal now, so the walk reaches C
    EXPECT_EQ(Log().size(), 2u);
    sink.Clear();
    ASSERT_EQ(Feed(9513, orders), Result::Handled);  // equal everywhere: no bargain callback
    EXPECT_EQ(Log().size(), 1u);
}

TEST_F(TradeListParsers, EventsWithTwoRecordsReachOnlyTheListCallback) {
    CWireBody stored;
    Deal(stored, 1, "A", 0);
    Feed(9512, stored);
    CWireBody storedOrders;
    Order(storedOrders, 9, 64, 0, 0);
    Feed(9513, storedOrders);
    sink.Clear();

    CWireBody deals;
    Deal(deals, 2, "B", 0);
    Deal(deals, 3, "C", 0);
    EXPECT_EQ(Feed(7003, deals), Result::Handled);
    CWireBody orders;
    Order(orders, 4, 64, 0, 0, 1.5);
    Order(orders, 5, 64, 0, 0, 1.5);
    EXPECT_EQ(Feed(7002, orders), Result::Handled);
    EXPECT_EQ(Feed(7004, ""), Result::NothingRead);
    EXPECT_EQ(Feed(7005, "\x04"), Result::NothingRead);

    EXPECT_EQ(Log(), (Lines{"OnBargainsInfo n=2 [#2 B in=0 dir=40 close=0 lots=1 price=1.5 "
                            "tp=0/0, #3 C in=0 dir=40 close=0 lots=1 price=1.5 tp=0/0]",
                            "OnOrdersInfo n=2 [#4 EURUSD kind=64 in=0 bargain=0 tp=1.5/0, #5 "
                            "EURUSD kind=64 in=0 bargain=0 tp=1.5/0]"}));
    CBargainArray bargainList;
    Center().GetBargainsInfo(bargainList);
    COrderInfoArray orderList;
    Center().GetOrdersInfo(orderList);
    EXPECT_EQ(bargainList.GetSize(), 1);
    EXPECT_EQ(orderList.GetSize(), 1);
}

TEST_F(TradeListParsers, SingleDealEventReportsItsOwnListThenMerges) {
    CWireBody stored;
    Deal(stored, 1, "A", 0);
    Feed(9512, stored);
    protocol.LastCommittedOrder.Store([] {
        COrderInfo order;
        order.InternalNo = 7;
        order.OrderKind = 60;
        return order;
    }());
    sink.Clear();

    CWireBody deal;
    Deal(deal, 2, "B", 7);  // answers the committed order: opens a position
    EXPECT_EQ(Feed(7003, deal), Result::Handled);
    const Lines log = Log();
    ASSERT_GE(log.size(), 1u);
    EXPECT_EQ(log[0], "OnBargainsInfo n=1 [#2 B in=7 dir=40 close=0 lots=1 price=1.5 tp=0/0]");
    CBargainArray bargainList;
    Center().GetBargainsInfo(bargainList);
    EXPECT_EQ(bargainList.GetSize(), 2);  // the merge appended it to the stored list
}

}  // namespace
