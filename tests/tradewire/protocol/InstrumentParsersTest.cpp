#include <gmock/gmock.h>

#include <cmath>
#include <random>

#include "ProtocolTestFixture.h"
#include "protocol/MinimumSpread.h"

namespace {

using ::testing::ElementsAre;
using ::testing::FloatEq;

class InstrumentParsers : public ProtocolTest {
  protected:
    // The first asks of the instrument list after `body` came in as one instrument message.
    std::vector<float> AsksAfter(std::string_view body) {
        CForexMerchArray merchs = ListAfter(9511, body, &CForexDataCenter::GetForexMerchs);
        std::vector<float> asks;
        for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
            asks.push_back(merchs[i].RealtimePrice.Ask);
        }
        return asks;
    }
};

TEST_F(InstrumentParsers, EveryInstrumentFieldLandsInItsTarget) {
    CForexMerchArray merchs =
        ListAfter(9511, NumberedRecord(88), &CForexDataCenter::GetForexMerchs);
    ASSERT_EQ(merchs.GetSize(), 1);
    const CForexMerch& m = merchs[0];

    ExpectFromFields(
        m.MerchCode, 1, m.MerchNo, 2, m.MerchName, 3, m.Value4, 4, m.Value5, 5, m.Value6, 6,
        m.Value17, 17, m.Value21, 21, m.Value29, 29, m.Value32, 32, m.Value33, 33, m.Value35, 35,
        m.Value36, 36, m.Value40, 55, m.Value41, 56, m.Value47, 75, m.Value48, 76, m.Value49, 77,
        m.Value50, 78, m.Value51, 79, m.Value52, 80, m.ProfitFactor, 7, m.Value8, 8, m.Value9, 9,
        m.Value10, 10, m.Value11, 11, m.Value12, 12, m.Value13, 13, m.Value14, 14, m.MinSpread, 15,
        m.Value16, 16, m.PriceUnit, 18, m.ProfitDivisor, 19, m.Value20, 20, m.FirstBid, 22,
        m.FirstAsk, 23, m.FirstPrice3, 24, m.FirstPrice4, 25, m.Value26, 26, m.Value27, 27,
        m.Value28, 28, m.Value31, 31, m.Value34, 34, m.Value39, 54, m.Value42, 57, m.Value43, 58,
        m.Value44, 59, m.Value45, 60, m.Value53, 81, m.Value54, 82, m.Value55, 83, m.Value56, 84,
        m.Value57, 85, m.Value58, 86, m.Value59, 87, m.Value60, 88);
    for (int i = 0; i < 16; ++i) {
        FromField(m.Value37[i], 37 + i).Check();
    }
    for (int i = 0; i < 14; ++i) {
        FromField(m.Value46[i], 61 + i).Check();
    }
    // Integers on the wire: the fraction is dropped before the value becomes a float.
    EXPECT_FLOAT_EQ(m.Value30, 30.0f);
    EXPECT_FLOAT_EQ(m.Value38, 53.0f);
    // First quote from fields 22 to 25; the instrument's own MinSpread is in no list yet.
    EXPECT_FLOAT_EQ(m.RealtimePrice.Bid, 22.25f);
    EXPECT_FLOAT_EQ(m.RealtimePrice.Ask, 23.25f);
    EXPECT_FLOAT_EQ(m.RealtimePrice.Price3, 24.25f);
    EXPECT_FLOAT_EQ(m.RealtimePrice.Price4, 25.25f);
    EXPECT_TRUE(m.RealtimePrice.MerchCode.IsEmpty());
    EXPECT_TRUE(m.RealtimePrice.QuoteStamp.IsEmpty());
}

TEST_F(InstrumentParsers, FirstAskIsWidenedToTheWidestKnownMinimumSpread) {
    // Account knows the code in lower case with 0.0003; the list gets 0.0002 from an earlier
    // instrument of the same message.
    AddMerch(Access().AccountInfo().Merchs, L"eurusd", 0.0003f);
    CWireBody body;
    MerchRecord(body, "EURUSD", 0.0002, 1.1, 1.1);        // widened by the account: 1.1003
    MerchRecord(body, "EURUSD", 0.0001, 1.2000, 1.2001);  // account 0.0003 beats list's 0.0002
    MerchRecord(body, "eurUSD", 0.0, 1.2000, 1.2010);     // wide enough already
    MerchRecord(body, "GBPUSD", 0.0, 1.5, 1.4);           // unknown: ask raised to the bid
    EXPECT_THAT(AsksAfter(body),
                ElementsAre(FloatEq(1.1003f), FloatEq(1.2003f), FloatEq(1.2010f), FloatEq(1.5f)));
}

TEST_F(InstrumentParsers, DataCenterPassTakesOnlyTheFirstMatchingInstrument) {
    CWireBody body;
    MerchRecord(body, "AUDUSD", 0.0001, 0.7, 0.7);
    MerchRecord(body, "AUDUSD", 0.0005, 0.7, 0.7);  // sees the first: 0.0001
    MerchRecord(body, "audusd", 0.0, 0.7, 0.7);     // still the first: 0.0001, not 0.0005
    EXPECT_THAT(AsksAfter(body), ElementsAre(FloatEq(0.7f), FloatEq(0.7001f), FloatEq(0.7001f)));
}

TEST_F(InstrumentParsers, ListFramingAndCallbacks) {
    CWireBody two;
    MerchRecord(two, "A", 0, 1, 2);
    MerchRecord(two, "B", 0, 1, 2).Raw("C\x01");  // a last record without its 0x04
    EXPECT_EQ(Feed(9511, two), Result::Handled);
    EXPECT_EQ(Feed(9511, ""), Result::NothingRead);  // empty: list kept, no callback
    CForexMerchArray merchs;
    Center().GetForexMerchs(merchs);
    EXPECT_EQ(merchs.GetSize(), 2);
    EXPECT_EQ(Feed(9511, "\x04"), Result::Handled);  // no complete record: emptied and reported
    Center().GetForexMerchs(merchs);
    EXPECT_EQ(merchs.GetSize(), 0);
    EXPECT_EQ(Log(), (Lines{"OnForexMerchs n=2 [A bid=1 ask=2 min=0, B bid=1 ask=2 min=0]",
                            "OnForexMerchs n=0 []"}));
}

TEST_F(InstrumentParsers, CurrencyFieldsAndFraming) {
    CWireBody body;
    Numbered(body, 1, 8).EndRecord();
    body.Text("USD").Empty(3).Num(1).EndRecord();
    body.Text("JPY").EndRecord().Text("CHF").Text("x");  // last one lacks its 0x04
    CCurrencyArray currencys = ListAfter(9505, body, &CForexDataCenter::GetCurrencysInfo);
    ASSERT_EQ(currencys.GetSize(), 3);
    const CCurrency& c = currencys[0];
    ExpectFromFields(c.CurrencyCode, 1, c.Value2, 2, c.Value3, 3, c.Value4, 4, c.UsdRate, 5,
                     c.Value6, 6, c.Value7, 7, c.Value8, 8);
    EXPECT_EQ(Log(), (Lines{"OnCurrencysInfo n=3 [1.25 usd=5.25, USD usd=1, JPY usd=0]"}));
    EXPECT_EQ(Feed(9505, ""), Result::NothingRead);
    EXPECT_EQ(Log().size(), 1u);
}

// The index the list parsers use, and the quotes' lookup, must answer exactly what walking the
// lists answers, for any mix of duplicates, letter case, negative and NaN spreads.
TEST(MinimumSpreadIndex, AgreesWithTheWalkWhileTheListsGrow) {
    std::mt19937 random(7);
    const std::vector<const wchar_t*> codes = {L"EURUSD", L"eurusd", L"EurUsd", L"GBPUSD",
                                               L"gbpusd", L"USDJPY", L"X",      L""};
    const std::vector<float> spreads = {0.0f, -0.0f, 0.0002f, 0.0003f, -0.1f, 0.0001f, NAN, 5.0f};
    for (int round = 0; round < 50; ++round) {
        CForexDataCenter center;
        CDataCenterAccess access(center);
        for (int i = 0; i < 6; ++i) {
            AddMerch(access.AccountInfo().Merchs, codes[random() % codes.size()],
                     spreads[random() % spreads.size()]);
        }
        CMinimumSpreadIndex index(access);
        for (int i = 0; i < 30; ++i) {
            CForexMerch merch =
                MakeMerch(codes[random() % codes.size()], spreads[random() % spreads.size()]);
            for (const wchar_t* code : codes) {
                const float walked = FindMinimumSpread(access, code);
                // Both the parsers' index and the quotes' lookup through the data center.
                for (const float indexed : {index.Find(code), FindQuoteSpread(access, code)}) {
                    ASSERT_TRUE(walked == indexed || (std::isnan(walked) && std::isnan(indexed)))
                        << "round " << round << " step " << i;
                    ASSERT_EQ(std::signbit(walked), std::signbit(indexed));
                }
            }
            const bool toAccount = random() % 2 == 0;
            (toAccount ? access.AccountInfo().Merchs : access.ForexMerchs()).Add(merch);
            toAccount ? index.AddAccountMerch(merch) : index.AddCenterMerch(merch);
        }
    }
}

}  // namespace
