#include "ProtocolTestFixture.h"

namespace {

using ReferenceParsers = ProtocolTest;

TEST_F(ReferenceParsers, HistoryLinesInOrderAndAlwaysReported) {
    CWireBody body;
    Numbered(body, 1, 26).EndRecord();
    body.Empty(16).Int(99).EndRecord();
    ASSERT_EQ(Feed(9514, body), Result::Handled);
    CHistoryOrderInfoArray history;
    Center().GetHistoryOrderInfo(history);
    ASSERT_EQ(history.GetSize(), 2);
    const CHistoryOrderInfo& h = history[0];
    EXPECT_EQ(h.Value1, NumberedText(1));
    EXPECT_EQ(h.MerchCode, NumberedText(3));
    EXPECT_FLOAT_EQ(h.Lots, 4.25f);
    EXPECT_EQ(h.Value6, NumberedText(6));
    EXPECT_EQ(h.OpenBargainNo, 7);
    EXPECT_EQ(h.OpenInternalNo, 8);
    EXPECT_EQ(h.Value10, NumberedText(10));
    EXPECT_EQ(h.Direction, 11);
    EXPECT_FLOAT_EQ(h.OpenPrice, 12.25f);
    EXPECT_FLOAT_EQ(h.OpenTriggerPrice2, 13.25f);
    EXPECT_FLOAT_EQ(h.OpenTriggerPrice1, 14.25f);
    EXPECT_EQ(h.Value16, NumberedText(16));
    EXPECT_EQ(h.BargainNo, 17);
    EXPECT_EQ(h.InternalNo, 18);
    EXPECT_EQ(h.Value20, NumberedText(20));
    const float floats[] = {h.ClosePrice, h.Profit, h.Value23, h.Credit, h.Charge, h.Value26};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(floats[i], 21.25f + i) << "field " << 21 + i;
    }
    EXPECT_EQ(history[1].BargainNo, 99);

    EXPECT_EQ(Feed(9514, ""), Result::NothingRead);
    Center().GetHistoryOrderInfo(history);
    EXPECT_TRUE(history.IsEmpty());
    EXPECT_EQ(Log(), (Lines{"OnHistoryOrderInfo n=2 [#17 open=#7 3.25 lots=4.25 profit=22.25, "
                            "#99 open=#0  lots=0 profit=0]",
                            "OnHistoryOrderInfo n=0 []"}));
}

TEST_F(ReferenceParsers, GroupReadsThirtyFourFieldsStraightFromTheBody) {
    CWireBody body;
    Numbered(body, 1, 40).EndRecord();
    ASSERT_EQ(Feed(9515, body), Result::Handled);
    CGroup g;
    Center().GetGroupInfo(g);
    EXPECT_EQ(g.Value1, NumberedText(1));
    EXPECT_EQ(g.Value2, 2);
    EXPECT_EQ(g.Value4, NumberedText(4));
    EXPECT_EQ(g.Value5, 5);
    EXPECT_FLOAT_EQ(g.Value6, 6.25f);
    EXPECT_EQ(g.Value7, 7);
    for (int i = 0; i < 27; ++i) {
        EXPECT_FLOAT_EQ(g.Value8[i], 8.25f + i);
    }
    EXPECT_EQ(Feed(9515, ""), Result::NothingRead);  // unchanged, still reported
    Center().GetGroupInfo(g);
    EXPECT_EQ(g.Value2, 2);
    EXPECT_EQ(Log(), (Lines{"OnGroupInfo 1.25", "OnGroupInfo 1.25"}));
}

TEST_F(ReferenceParsers, BaseInfoReadsTwoRunsAndNeverTheLastText) {
    Access().BaseInfo().Value4[16] = L"kept";
    CWireBody body;
    Numbered(body, 1, 24).Text("extra").EndRecord();
    Numbered(body, 25, 52).Text("extra");
    ASSERT_EQ(Feed(9516, body), Result::Handled);
    CBaseInfo b;
    Center().GetBaseInfo(b);
    EXPECT_EQ(b.Value1, NumberedText(1));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(b.Value2[i], NumberedText(2 + i));
    }
    EXPECT_EQ(b.Value3, NumberedText(8));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(b.Value4[i], NumberedText(9 + i));
    }
    EXPECT_EQ(b.Value4[16], Wide("kept"));
    EXPECT_FLOAT_EQ(b.Value5, 25.25f);
    EXPECT_FLOAT_EQ(b.Value8, 28.25f);
    EXPECT_EQ(b.Value9, NumberedText(29));
    EXPECT_EQ(b.Value10, 30);
    EXPECT_FLOAT_EQ(b.Value11, 31.25f);
    EXPECT_FLOAT_EQ(b.BaseRateSwitch, 32.25f);
    EXPECT_FLOAT_EQ(b.Value19, 39.25f);
    EXPECT_EQ(b.Value20, 40);
    EXPECT_EQ(b.Value21, NumberedText(41));
    EXPECT_FLOAT_EQ(b.Value22, 42.25f);
    EXPECT_FLOAT_EQ(b.Value32, 52.25f);

    // A first run of ten texts clears the rest of the texts; the numbers still follow the 0x04.
    CWireBody shortRun;
    Numbered(shortRun, 1, 10).EndRecord();
    Numbered(shortRun, 25, 52);
    ASSERT_EQ(Feed(9516, shortRun), Result::Handled);
    Center().GetBaseInfo(b);
    EXPECT_EQ(b.Value4[0], NumberedText(9));
    EXPECT_EQ(b.Value4[1], NumberedText(10));
    EXPECT_TRUE(b.Value4[2].IsEmpty());
    EXPECT_TRUE(b.Value4[15].IsEmpty());
    EXPECT_FLOAT_EQ(b.BaseRateSwitch, 32.25f);

    // Without any 0x04 the texts read empty and the whole body is the numeric run.
    CWireBody noRecord;
    Numbered(noRecord, 25, 52);
    ASSERT_EQ(Feed(9516, noRecord), Result::Handled);
    Center().GetBaseInfo(b);
    EXPECT_TRUE(b.Value1.IsEmpty());
    EXPECT_FLOAT_EQ(b.Value5, 25.25f);

    EXPECT_EQ(Feed(9516, ""), Result::NothingRead);
    EXPECT_EQ(Log().size(), 4u);
}

TEST_F(ReferenceParsers, TextEventIsPassedOnWhole) {
    EXPECT_EQ(protocol.Dispatch(std::string("000022000000"
                                            "9002\x03"
                                            "abc\x01\x04")),
              Result::Handled);
    EXPECT_EQ(Feed(9002, ""), Result::NothingRead);
    EXPECT_EQ(Log(), (Lines{"OnTextMessage \"abc\\x01\\x04\""}));
}

TEST_F(ReferenceParsers, BroadCastReplacesTheStoredOne) {
    CWireBody first;
    Numbered(first, 1, 9);
    ASSERT_EQ(Feed(9524, first), Result::Handled);
    CBroadCast b;
    Center().GetBroadCast(b);
    EXPECT_EQ(b.Value1, 1);
    EXPECT_FLOAT_EQ(b.Value2, 2.25f);
    EXPECT_FLOAT_EQ(b.Value3, 3.25f);
    EXPECT_EQ(b.Value4, NumberedText(4));
    EXPECT_EQ(b.Value8, NumberedText(8));

    ASSERT_EQ(Feed(9524, CWireBody().Int(7).Num(0.5).Num(1)), Result::Handled);  // three fields
    Center().GetBroadCast(b);
    EXPECT_EQ(b.Value1, 7);
    EXPECT_TRUE(b.Value4.IsEmpty());
    EXPECT_TRUE(b.Value8.IsEmpty());
    EXPECT_EQ(Feed(9524, ""), Result::NothingRead);
    EXPECT_EQ(Log(), (Lines{"OnBroadCast 1 4.25", "OnBroadCast 7 "}));
}

}  // namespace
