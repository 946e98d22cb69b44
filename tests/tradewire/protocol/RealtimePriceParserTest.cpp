#include "ProtocolTestFixture.h"

namespace {

class RealtimePriceParser : public ProtocolTest {
  protected:
    RealtimePriceParser() {
        for (const wchar_t* code : {L"EURUSD", L"GBPUSD", L"USDJPY", L"AUDUSD"}) {
            AddMerch(Access().ForexMerchs(), code, 0.0f);
        }
    }
};

TEST_F(RealtimePriceParser, QuotesReachTheDataCenterInMessageOrder) {
    CWireBody body;
    body.Text("EURUSD").Num(1.1).Num(1.2).Text("s1").Num(3).Num(4).EndRecord();
    body.Text("GBPUSD").Num(1.5).Num(1.6).Text("s2").Num(5).Num(6).EndRecord().EndSection();
    body.Text("USDJPY").Text("x").Text("y").Num(110).Num(111).Text("s3").Num(7).Num(8).EndRecord();
    body.Text("AUDUSD").Num(0.7).Num(0.8).Text("s4").EndRecord().EndSection();
    body.Text("EURUSD").Num(9).Num(9).EndRecord().EndSection();  // a section with no 0x05 after
    ASSERT_EQ(Feed(9518, body), Result::Handled);
    EXPECT_EQ(Log(), (Lines{"OnRealtimePrice EURUSD bid=1.1 ask=1.2 stamp=s1 p3=3 p4=4",
                            "OnRealtimePrice GBPUSD bid=1.5 ask=1.6 stamp=s2 p3=5 p4=6",
                            "OnRealtimePrice USDJPY bid=110 ask=111 stamp=s3 p3=7 p4=8",
                            "OnRealtimePrice AUDUSD bid=0.7 ask=0.8 stamp=s4 p3=0 p4=0",
                            "OnRealtimePrice EURUSD bid=9 ask=9 stamp= p3=0 p4=0"}));
}

TEST_F(RealtimePriceParser, EmptyAndIncompleteBodies) {
    EXPECT_EQ(Feed(9518, ""), Result::NothingRead);
    EXPECT_EQ(Feed(9518,
                   "EURUSD\x01"
                   "1\x01\x04"),
              Result::Handled);  // no section end
    EXPECT_EQ(Feed(9518,
                   "\x05"
                   "EURUSD\x01\x04\x05"),
              Result::Handled);  // first section empty
    EXPECT_EQ(Feed(9518,
                   "\x04"
                   "EURUSD\x01\x04\x05"),
              Result::Handled);  // first record empty
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Feed(9518, "EURUSD\x01\x04\x05"), Result::Handled);  // only its code: still an update
    EXPECT_EQ(Log(), (Lines{"OnRealtimePrice EURUSD bid=0 ask=0 stamp= p3=0 p4=0"}));
}

// A last field without its 0x01 would never be cut off; its text is ignored and the fields
// before it still count.
TEST_F(RealtimePriceParser, TrailingTextWithoutTerminatorIsIgnored) {
    EXPECT_EQ(Feed(9518,
                   "EURUSD\x01"
                   "1.1\x01"
                   "1.2\x01"
                   "st\x01"
                   "junk\x04\x05"),
              Result::Handled);
    EXPECT_EQ(Log(), (Lines{"OnRealtimePrice EURUSD bid=1.1 ask=1.2 stamp=st p3=0 p4=0"}));
}

TEST_F(RealtimePriceParser, AskIsWidenedToTheMinimumSpread) {
    Access().ForexMerchs()[0].MinSpread = 0.0002f;
    AddMerch(Access().AccountInfo().Merchs, L"eurusd", 0.0003f);
    Access().ForexMerchs()[1].MinSpread = -1.0f;  // never narrows
    CWireBody body;
    body.Text("EURUSD").Num(1.2).Num(1.2001).Empty(3).EndRecord();
    body.Text("EURUSD").Num(1.2).Num(1.201).Empty(3).EndRecord();
    body.Text("GBPUSD").Num(1.5).Num(1.4).Empty(3).EndRecord();
    body.Text("usdjpy").Num(1.5).Num(1.6).Empty(3).EndRecord();  // no exact match: not stored
    ASSERT_EQ(Feed(9518, body.EndSection()), Result::Handled);
    EXPECT_EQ(Log(), (Lines{"OnRealtimePrice EURUSD bid=1.2 ask=1.2003 stamp= p3=0 p4=0",
                            "OnRealtimePrice EURUSD bid=1.2 ask=1.201 stamp= p3=0 p4=0",
                            "OnRealtimePrice GBPUSD bid=1.5 ask=1.5 stamp= p3=0 p4=0"}));
    CForexMerchArray merchs;
    Center().GetForexMerchs(merchs);
    EXPECT_FLOAT_EQ(merchs[0].RealtimePrice.Ask, 1.201f);

    // Widening past the float range would give an infinity: the ask stays as sent.
    sink.Clear();
    Access().ForexMerchs()[0].MinSpread = 1e38f;
    CWireBody huge;
    huge.Text("EURUSD").Text("3e38").Text("-inf").Empty(3).EndRecord();
    ASSERT_EQ(Feed(9518, huge.EndSection()), Result::Handled);
    Center().GetForexMerchs(merchs);
    EXPECT_EQ(merchs[0].RealtimePrice.Bid, 3e38f);
    EXPECT_EQ(merchs[0].RealtimePrice.Ask, 0.0f);
}

}  // namespace
