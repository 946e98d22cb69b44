#include "ProtocolTestFixture.h"

namespace {

using ReferenceParsers = ProtocolTest;

TEST_F(ReferenceParsers, HistoryLinesInOrderAndAlwaysReported) {
    CWireBody body;
    Numbered(body, 1, 26).EndRecord();
    body.Empty(16).Int(99).EndRecord();
    CHistoryOrderInfoArray history = ListAfter(9514, body, &CForexDataCenter::GetHistoryOrderInfo);
    ASSERT_EQ(history.GetSize(), 2);
    const CHistoryOrderInfo& h = history[0];
    ExpectFromFields(h.Value1, 1, h.MerchCode, 3, h.Lots, 4, h.Value6, 6, h.OpenBargainNo, 7,
                     h.OpenInternalNo, 8, h.Value10, 10, h.Direction, 11, h.OpenPrice, 12,
                     h.OpenTriggerPrice2, 13, h.OpenTriggerPrice1, 14, h.Value16, 16, h.BargainNo,
                     17, h.InternalNo, 18, h.Value20, 20, h.ClosePrice, 21, h.Profit, 22, h.Value23,
                     23, h.Credit, 24, h.Charge, 25, h.Value26, 26);
    EXPECT_EQ(history[1].BargainNo, 99);

    EXPECT_EQ(Feed(9514, ""), Result::NothingRead);
    Center().GetHistoryOrderInfo(history);
    EXPECT_TRUE(history.IsEmpty());
    EXPECT_EQ(Log(), (Lines{"OnHistoryOrderInfo n=2 [#17 open=#7 3.25 lots=4.25 profit=22.25, "
                            "#99 open=#0  lots=0 profit=0]",
                            "OnHistoryOrderInfo n=0 []"}));
}

TEST_F(ReferenceParsers, GroupReadsThirtyFourFieldsStraightFromTheBody) {
    ASSERT_EQ(Feed(9515, NumberedRecord(40)), Result::Handled);
    CGroup g;
    Center().GetGroupInfo(g);
    ExpectFromFields(g.Value1, 1, g.Value2, 2, g.Value4, 4, g.Value5, 5, g.Value6, 6, g.Value7, 7);
    for (int i = 0; i < 27; ++i) {
        FromField(g.Value8[i], 8 + i).Check();
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
    for (int i = 0; i < 6; ++i) {
        FromField(b.Value2[i], 2 + i).Check();
    }
    for (int i = 0; i < 16; ++i) {
        FromField(b.Value4[i], 9 + i).Check();
    }
    EXPECT_EQ(b.Value4[16], Wide("kept"));
    ExpectFromFields(b.Value1, 1, b.Value3, 8, b.Value5, 25, b.Value8, 28, b.Value9, 29, b.Value10,
                     30, b.Value11, 31, b.BaseRateSwitch, 32, b.Value19, 39, b.Value20, 40,
                     b.Value21, 41, b.Value22, 42, b.Value32, 52);

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
    ExpectFromFields(b.Value1, 1, b.Value2, 2, b.Value3, 3, b.Value4, 4, b.Value8, 8);

    ASSERT_EQ(Feed(9524, CWireBody().Int(7).Num(0.5).Num(1)), Result::Handled);  // three fields
    Center().GetBroadCast(b);
    EXPECT_EQ(b.Value1, 7);
    EXPECT_TRUE(b.Value4.IsEmpty());
    EXPECT_TRUE(b.Value8.IsEmpty());
    EXPECT_EQ(Feed(9524, ""), Result::NothingRead);
    EXPECT_EQ(Log(), (Lines{"OnBroadCast 1 4.25", "OnBroadCast 7 "}));
}

}  // namespace
