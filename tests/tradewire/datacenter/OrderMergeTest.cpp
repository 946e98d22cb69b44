#include <gtest/gtest.h>

#include <vector>

#include "MergeTestSink.h"
#include "datacenter/OrderMerge.h"

namespace {

using Slots = std::vector<int>;

class OrderMergeTest : public ::testing::Test {
  protected:
    CForexDataCenter center;
    CDataCenterAccess access{center};
    CLastCommittedOrder lastOrder;
    CMergeTestSink sink;

    void SetUp() override { center.SetNotify(&sink); }

    void CommitRequest(int internalNo, int kind) {
        lastOrder.Store(MakeOrder(0, internalNo, kind));
    }

    void AddOrder(int orderNo, const wchar_t* tag = L"") {
        COrderInfo order = MakeOrder(orderNo, 0, 65);
        order.Value3 = tag;
        access.Orders().Add(order);
    }

    // Orders 2 ("first"), 2 ("second") and 3: a reply for order 2 must pick the later one.
    void AddTwinOrders() {
        AddOrder(2, L"first");
        AddOrder(2, L"second");
        AddOrder(3);
    }

    void Apply(const COrderInfo& order) { COrderMerge(center, lastOrder).Apply(order); }

    COrderInfo Unsolicited(float value15, float trigger1, float trigger2) {
        COrderInfo order = MakeOrder(50, 3, 65);
        order.Value15 = value15;
        order.TriggerPrice1 = trigger1;
        order.TriggerPrice2 = trigger2;
        return order;
    }
};

class PendingRequestKinds : public OrderMergeTest, public ::testing::WithParamInterface<int> {};

TEST_P(PendingRequestKinds, ConfirmationAppendsTheOrderAndConsumesTheRequest) {
    CommitRequest(7, GetParam());
    AddOrder(1);

    Apply(MakeOrder(2, 7, GetParam()));

    ASSERT_EQ(access.Orders().GetSize(), 2);
    EXPECT_EQ(access.Orders()[1].OrderNo, 2);
    EXPECT_EQ(sink.slots, (Slots{19, 8}));
    EXPECT_EQ(sink.orders.GetSize(), 2);
    EXPECT_EQ(lastOrder.InternalNo(), -1);
}

INSTANTIATE_TEST_SUITE_P(Kinds64To67, PendingRequestKinds, ::testing::Values(64, 65, 66, 67));

TEST_F(OrderMergeTest, TriggerPriceConfirmationSetsTheFirstMatchingBargain) {
    CommitRequest(7, 63);
    for (int no : {4, 5, 5}) {
        CBargain b = MakeBargain(no, 1, 1.0f);
        access.Bargains().Add(b);
    }
    COrderInfo reply = MakeOrder(0, 7, 63);
    reply.BargainNo = 5;
    reply.TriggerPrice1 = 1.1f;
    reply.TriggerPrice2 = 0.9f;

    Apply(reply);

    EXPECT_FLOAT_EQ(access.Bargains()[1].TriggerPrice1, 1.1f);
    EXPECT_FLOAT_EQ(access.Bargains()[1].TriggerPrice2, 0.9f);
    EXPECT_EQ(access.Bargains()[2].TriggerPrice1, 0.0f);
    EXPECT_EQ(access.Bargains()[0].TriggerPrice1, 0.0f);
    EXPECT_EQ(sink.slots, (Slots{21, 7}));
    EXPECT_FLOAT_EQ(sink.bargains[1].TriggerPrice1, 1.1f);
    EXPECT_EQ(lastOrder.InternalNo(), -1);
}

TEST_F(OrderMergeTest, ChangeConfirmationReplacesTheLaterOrderWithTheNumber) {
    CommitRequest(7, 68);
    AddTwinOrders();
    COrderInfo reply = MakeOrder(2, 7, 68);
    reply.Value3 = L"changed";

    Apply(reply);

    ASSERT_EQ(access.Orders().GetSize(), 3);
    EXPECT_EQ(access.Orders()[0].Value3, L"first");
    EXPECT_EQ(access.Orders()[1].Value3, L"changed");
    EXPECT_EQ(sink.slots, (Slots{21, 8}));
    EXPECT_EQ(lastOrder.InternalNo(), -1);
}

TEST_F(OrderMergeTest, DeleteConfirmationRemovesTheLaterOrderWithTheNumber) {
    CommitRequest(7, 69);
    AddTwinOrders();

    Apply(MakeOrder(2, 7, 69));

    ASSERT_EQ(access.Orders().GetSize(), 2);
    EXPECT_EQ(access.Orders()[0].Value3, L"first");
    EXPECT_EQ(access.Orders()[1].OrderNo, 3);
    EXPECT_EQ(sink.slots, (Slots{23, 8}));
    EXPECT_EQ(lastOrder.InternalNo(), -1);
}

TEST_F(OrderMergeTest, OpenCloseAndUnknownRequestsAreLeftToTheirDeals) {
    for (int kind : {60, 62, 61, 70}) {
        CommitRequest(7, kind);
        Apply(MakeOrder(2, 7, kind));
        EXPECT_EQ(lastOrder.InternalNo(), 7) << kind;
    }
    EXPECT_EQ(access.Orders().GetSize(), 0);
    EXPECT_TRUE(sink.slots.empty());
}

struct RefusalCase {
    int requestKind;
    int slot;  // -1: no callback
};

class Refusals : public OrderMergeTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, KindSeventyTwoFiresTheRefusalAndConsumesTheRequest) {
    CommitRequest(7, GetParam().requestKind);
    AddOrder(2);
    CBargain b = MakeBargain(2, 1, 1.0f);
    access.Bargains().Add(b);
    COrderInfo reply = MakeOrder(2, 7, 72);
    reply.BargainNo = 2;
    reply.TriggerPrice1 = 5;

    Apply(reply);

    EXPECT_EQ(sink.slots, GetParam().slot < 0 ? Slots{} : Slots{GetParam().slot});
    if (GetParam().slot >= 0) {
        EXPECT_EQ(sink.orderArgs[0].OrderKind, 72);
    }
    EXPECT_EQ(access.Orders().GetSize(), 1);
    EXPECT_EQ(access.Bargains()[0].TriggerPrice1, 0.0f);
    EXPECT_EQ(lastOrder.InternalNo(), -1);
}

INSTANTIATE_TEST_SUITE_P(ByRequestKind, Refusals,
                         ::testing::Values(RefusalCase{60, 16}, RefusalCase{62, 18},
                                           RefusalCase{63, 20}, RefusalCase{64, 20},
                                           RefusalCase{65, 20}, RefusalCase{67, 20},
                                           RefusalCase{68, 22}, RefusalCase{69, 24},
                                           RefusalCase{61, -1}, RefusalCase{0, -1}));

TEST_F(OrderMergeTest, UnsolicitedOrderIsTakenOnlyInsideTheWindowWithATriggerPrice) {
    CommitRequest(7, 65);

    Apply(Unsolicited(-1.0f, 1.5f, 0));
    EXPECT_EQ(sink.slots, (Slots{19, 8}));
    Apply(Unsolicited(-0.99f, 0, 2.0f));
    Apply(Unsolicited(-1.01f, 0, 2.0f));
    EXPECT_EQ(access.Orders().GetSize(), 3);

    Apply(Unsolicited(-0.98f, 1.5f, 0));
    Apply(Unsolicited(-1.02f, 1.5f, 0));
    Apply(Unsolicited(-1.0f, 0, 0));
    Apply(Unsolicited(-1.0f, -1.0f, 0));

    EXPECT_EQ(access.Orders().GetSize(), 3);
    EXPECT_EQ(sink.slots.size(), 6u);
    EXPECT_EQ(lastOrder.InternalNo(), 7);
}

TEST_F(OrderMergeTest, ReplyNamingAnAbsentOrderLeavesTheRequestSetForTheNextEvent) {
    CommitRequest(7, 69);
    AddOrder(3);

    Apply(MakeOrder(2, 7, 69));
    EXPECT_TRUE(sink.slots.empty());
    EXPECT_EQ(lastOrder.InternalNo(), 7);

    Apply(MakeOrder(3, 7, 69));
    EXPECT_EQ(sink.slots, (Slots{23, 8}));
    EXPECT_EQ(access.Orders().GetSize(), 0);
    EXPECT_EQ(lastOrder.InternalNo(), -1);
}

TEST_F(OrderMergeTest, ReplyNamingAnAbsentBargainOrChangedOrderFiresNothing) {
    CommitRequest(7, 63);
    COrderInfo trigger = MakeOrder(0, 7, 63);
    trigger.BargainNo = 9;
    Apply(trigger);
    CommitRequest(8, 68);
    Apply(MakeOrder(9, 8, 68));

    EXPECT_TRUE(sink.slots.empty());
    EXPECT_EQ(lastOrder.InternalNo(), 8);
}

TEST_F(OrderMergeTest, RequestCommittedFromInsideACallbackMeetsItsOwnReply) {
    CommitRequest(7, 65);
    sink.onOrderAdded = [&](const COrderInfo& added) {
        if (added.InternalNo == 7) {
            lastOrder.Store(MakeOrder(0, 8, 69));  // what CommitBill does
        }
    };

    Apply(MakeOrder(2, 7, 65));
    EXPECT_EQ(lastOrder.InternalNo(), 8);

    Apply(MakeOrder(2, 8, 69));
    EXPECT_EQ(sink.slots, (Slots{19, 8, 23, 8}));
    EXPECT_EQ(access.Orders().GetSize(), 0);
    EXPECT_EQ(lastOrder.InternalNo(), -1);
}

TEST_F(OrderMergeTest, WithoutSinkListsChangeAndRequestsAreConsumed) {
    center.UnSetNotify();
    CommitRequest(7, 66);
    Apply(MakeOrder(2, 7, 66));
    EXPECT_EQ(lastOrder.InternalNo(), -1);
    Apply(Unsolicited(-1.0f, 1.5f, 0));

    EXPECT_EQ(access.Orders().GetSize(), 2);
    EXPECT_TRUE(sink.slots.empty());
}

}  // namespace
