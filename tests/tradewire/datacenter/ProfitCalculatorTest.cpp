#include <gtest/gtest.h>

#include "datacenter/DataCenterAccess.h"
#include "datacenter/InstrumentLookup.h"
#include "datacenter/ProfitCalculator.h"

namespace {

class ProfitCalculatorTest : public ::testing::Test {
  protected:
    CForexDataCenter center;
    CDataCenterAccess access{center};

    CForexMerch& AddInstrument(const wchar_t* code, float priceUnit, float bid = 0, float ask = 0) {
        CForexMerch merch;
        merch.MerchCode = code;
        merch.PriceUnit = priceUnit;
        merch.ProfitFactor = 1;
        merch.ProfitDivisor = 1;
        merch.RealtimePrice.Bid = bid;
        merch.RealtimePrice.Ask = ask;
        access.ForexMerchs().Add(merch);
        return access.ForexMerchs()[access.ForexMerchs().GetUpperBound()];
    }

    void AddCurrency(const wchar_t* code, float usdRate = 1) {
        CCurrency currency;
        currency.CurrencyCode = code;
        currency.UsdRate = usdRate;
        access.Currencys().Add(currency);
    }

    void SetBaseRateSwitch(float value) { access.BaseInfo().BaseRateSwitch = value; }

    // A close of one lot that gained exactly one price unit (direction other than 40).
    float ProfitOfOneUnit(const wchar_t* code, float priceUnit) {
        CBargain open;
        open.Price = 0;
        CBargain closing;
        closing.MerchCode = code;
        closing.Direction = 41;
        closing.Lots = 1;
        closing.Price = priceUnit;
        return CProfitCalculator(access).Profit(closing, open);
    }
};

TEST_F(ProfitCalculatorTest, DollarQuotedInstrumentGivesTheWorkedExample) {
    CForexMerch& merch = AddInstrument(L"EURUSD", 0.25f);
    merch.ProfitFactor = 3;
    merch.ProfitDivisor = 2;
    AddCurrency(L"EUR");
    AddCurrency(L"USD", 1);
    CBargain open;
    open.Price = 1.5f;
    CBargain closing;
    closing.MerchCode = L"EURUSD";
    closing.Direction = 40;
    closing.Price = 1.25f;
    closing.Lots = 2;

    EXPECT_FLOAT_EQ(CProfitCalculator(access).Profit(closing, open), 3.0f);
    closing.Direction = 41;
    EXPECT_FLOAT_EQ(CProfitCalculator(access).Profit(closing, open), -3.0f);
}

TEST_F(ProfitCalculatorTest, DollarRateAndDivisorScaleTheResult) {
    CForexMerch& merch = AddInstrument(L"EURUSD", 0.5f);
    merch.ProfitDivisor = 4;
    AddCurrency(L"EUR");
    AddCurrency(L"usd", 3);  // the dollar is recognised in any letter case
    AddCurrency(L"USD", 2);  // ... and a later one replaces an earlier one

    EXPECT_FLOAT_EQ(ProfitOfOneUnit(L"EURUSD", 0.5f), 1.0f * 2 / 4);
}

TEST_F(ProfitCalculatorTest, DollarBasedInstrumentUsesMidPriceOnlyWhenSwitchIsAtMostOneTenth) {
    AddInstrument(L"USDJPY", 0.01f, 109.0f, 111.0f);
    AddCurrency(L"USD");
    AddCurrency(L"JPY");

    SetBaseRateSwitch(0.5f);
    EXPECT_FLOAT_EQ(ProfitOfOneUnit(L"USDJPY", 0.01f), 1.0f);

    SetBaseRateSwitch(0.1f);
    const double factor = 2.0 * 0.01f / (111.0 + 109.0);
    EXPECT_FLOAT_EQ(ProfitOfOneUnit(L"USDJPY", 0.01f), static_cast<float>(factor));
}

TEST_F(ProfitCalculatorTest, CrossRateThroughDollarFirstInstrument) {
    AddInstrument(L"EURJPY", 0.01f);
    AddInstrument(L"USDJPY", 0.01f, 99.0f, 101.0f);
    AddInstrument(L"JPYUSD", 1.0f, 1.0f, 1.0f);  // second choice, not used
    AddCurrency(L"EUR");
    AddCurrency(L"JPY");
    AddCurrency(L"USD");

    EXPECT_FLOAT_EQ(ProfitOfOneUnit(L"EURJPY", 0.01f), static_cast<float>(2.0 * 0.01f / 200.0));
}

TEST_F(ProfitCalculatorTest, CrossRateThroughDollarLastInstrument) {
    AddInstrument(L"EURGBP", 0.0001f);
    AddInstrument(L"gbpusd", 0.0001f, 1.25f, 1.35f);  // found in any letter case
    AddCurrency(L"EUR");
    AddCurrency(L"GBP");
    AddCurrency(L"USD");

    const double factor = (1.35 + 1.25) * 0.5 / 0.0001f;
    EXPECT_FLOAT_EQ(ProfitOfOneUnit(L"EURGBP", 0.0001f), static_cast<float>(factor));
}

TEST_F(ProfitCalculatorTest, MissingDataGivesZero) {
    // Empty instrument list.
    AddCurrency(L"EUR");
    AddCurrency(L"JPY");
    EXPECT_EQ(ProfitOfOneUnit(L"EURJPY", 0.01f), 0.0f);

    // No dollar currency.
    AddInstrument(L"EURJPY", 0.01f);
    AddInstrument(L"USDJPY", 0.01f, 100.0f, 100.0f);
    EXPECT_EQ(ProfitOfOneUnit(L"EURJPY", 0.01f), 0.0f);

    AddCurrency(L"USD");
    ASSERT_NE(ProfitOfOneUnit(L"EURJPY", 0.01f), 0.0f);  // now complete

    // Instrument not in the list.
    EXPECT_EQ(ProfitOfOneUnit(L"CHFJPY", 0.01f), 0.0f);

    // No quote currency: the code holds only a base currency.
    AddInstrument(L"EURXXX", 0.01f);
    EXPECT_EQ(ProfitOfOneUnit(L"EURXXX", 0.01f), 0.0f);

    // Quote currency without any conversion instrument.
    AddCurrency(L"CHF");
    AddInstrument(L"EURCHF", 0.01f);
    EXPECT_EQ(ProfitOfOneUnit(L"EURCHF", 0.01f), 0.0f);
}

TEST_F(ProfitCalculatorTest, UnquotedConversionInstrumentGivesZeroInsteadOfInfinity) {
    AddInstrument(L"EURJPY", 0.01f);
    AddInstrument(L"USDJPY", 0.01f);  // no quote yet: bid and ask are 0
    AddCurrency(L"EUR");
    AddCurrency(L"JPY");
    AddCurrency(L"USD");
    EXPECT_EQ(ProfitOfOneUnit(L"EURJPY", 0.01f), 0.0f);

    // A zero price unit on the instrument itself likewise.
    AddInstrument(L"EURUSD", 0.0f);
    EXPECT_EQ(ProfitOfOneUnit(L"EURUSD", 0.01f), 0.0f);
}

TEST_F(ProfitCalculatorTest, LookupIgnoresCaseAndOverlaysAccountTermsButKeepsTheQuote) {
    AddInstrument(L"eurusd", 0.25f, 1.1f, 1.2f).MerchName = L"list";
    CForexMerch own;
    own.MerchCode = L"EurUsd";
    own.MerchName = L"account";
    own.ProfitFactor = 7;
    own.RealtimePrice.Bid = 9;
    access.AccountInfo().Merchs.Add(own);

    CForexMerch found;
    ASSERT_TRUE(CInstrumentLookup(access).Find(L"EURUSD", found));
    EXPECT_EQ(found.MerchName, L"account");
    EXPECT_EQ(found.ProfitFactor, 7.0f);
    EXPECT_EQ(found.RealtimePrice.Bid, 1.1f);
    EXPECT_EQ(found.RealtimePrice.Ask, 1.2f);

    // The account's list alone is not enough.
    own.MerchCode = L"GBPUSD";
    access.AccountInfo().Merchs.Add(own);
    EXPECT_FALSE(CInstrumentLookup(access).Find(L"GBPUSD", found));
}

}  // namespace
