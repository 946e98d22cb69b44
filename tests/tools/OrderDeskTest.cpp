// The simulator's trading rules: what each request does to an account and what it answers; and
// the terminal's floating profit, which must be what a close at the same price would bring.

#include <gtest/gtest.h>

#include <cmath>

#include "Account.h"
#include "FloatingProfit.h"
#include "Market.h"
#include "OrderDesk.h"
#include "ProfitRule.h"

namespace sim {
namespace {

class OrderDeskTest : public ::testing::Test {
  protected:
    OrderDeskTest()
        : market(1),
          desk(
              market,
              [] {
                  return Stamp{"20240501", "12:00:00"};
              },
              0.0) {
        account = &book.Add("t", "pw", "Tester", 10000);
        market.SetBid("EURUSD", 1.1000);  // ask 1.1002
        market.SetBid("GBPUSD", 1.2700);
    }

    OrderRequest Request(int kind, int internalNo) const {
        OrderRequest r;
        r.account = "t";
        r.merch = "EURUSD";
        r.kind = kind;
        r.internalNo = internalNo;
        return r;
    }

    DeskReply Only(const DeskReplies& replies) const {
        EXPECT_EQ(replies.size(), 1u);
        return replies.empty() ? DeskReply{} : replies.front();
    }

    int OpenBuy(int hundredths, int internalNo = 1) {
        OrderRequest r = Request(wire::kOpenMarket, internalNo);
        r.side = wire::kBuy;
        r.lotsHundredths = hundredths;
        return Only(desk.Apply(*account, r)).deal.bargainNo;
    }

    DeskReply Close(int bargainNo, int hundredths, int internalNo = 2) {
        OrderRequest r = Request(wire::kCloseMarket, internalNo);
        r.bargainNo = bargainNo;
        r.lotsHundredths = hundredths;
        r.closeFlag = 1;
        return Only(desk.Apply(*account, r));
    }

    Market market;
    AccountBook book;
    Account* account = nullptr;
    OrderDesk desk;
};

TEST_F(OrderDeskTest, OpenAndCloseAnswerWithDealsAndMoveTheBalanceByTheProfit) {
    OrderRequest open = Request(wire::kOpenMarket, 7);
    open.side = wire::kBuy;
    open.lotsHundredths = 100;
    const DeskReply opened = Only(desk.Apply(*account, open));
    EXPECT_EQ(opened.code, 7003);
    EXPECT_EQ(opened.deal.internalNo, 7);
    EXPECT_EQ(opened.deal.closeFlag, 0);
    EXPECT_DOUBLE_EQ(opened.deal.price, 1.1002);  // a buy opens at the ask

    market.SetBid("EURUSD", 1.1102);
    const DeskReply closed = Close(opened.deal.bargainNo, 0, 8);
    EXPECT_EQ(closed.code, 7003);
    EXPECT_EQ(closed.deal.closeFlag, 1);
    EXPECT_EQ(closed.deal.openBargainNo, opened.deal.bargainNo);
    EXPECT_EQ(closed.deal.internalNo, 8);
    EXPECT_EQ(closed.deal.side, wire::kSell);
    EXPECT_FLOAT_EQ(closed.deal.lots, 1.0f);
    EXPECT_DOUBLE_EQ(closed.deal.price, 1.1102);  // and closes at the bid
    EXPECT_NEAR(account->balance, 11000.0, 0.5);  // 100 points of 10 dollars
    EXPECT_TRUE(account->positions.empty());
    ASSERT_EQ(account->history.size(), 1u);
    EXPECT_NEAR(account->history[0].profit, 1000.0, 0.5);
}

TEST_F(OrderDeskTest, PartialClosesKeepTheRemainderUntilTheLastLotIsClosed) {
    const int bargain = OpenBuy(30);
    Close(bargain, 10);
    ASSERT_EQ(account->positions.size(), 1u);
    EXPECT_FLOAT_EQ(account->positions[0].lots, 0.2f);
    // The remainder is the client's float difference; closing "0.20" must still empty it.
    Close(bargain, 20);
    EXPECT_TRUE(account->positions.empty());
    EXPECT_EQ(account->history.size(), 2u);
}

TEST_F(OrderDeskTest, ImpossibleRequestsAreRefusedWithKind72AndAReason) {
    struct Case {
        const char* name;
        OrderRequest request;
    };
    std::vector<Case> cases;
    OrderRequest r = Request(wire::kOpenMarket, 40);
    r.side = wire::kBuy;
    r.lotsHundredths = 100;
    r.merch = "XXXYYY";
    cases.push_back({"unknown instrument", r});
    r.merch = "EURUSD";
    r.lotsHundredths = 0;
    cases.push_back({"no lots", r});
    r.lotsHundredths = 5000;
    cases.push_back({"50 lots on 10000 dollars", r});
    r.lotsHundredths = 100;
    r.stopPoints = 11100;  // a stop loss above the price of a buy
    cases.push_back({"stop loss on the wrong side", r});
    OrderRequest close = Request(wire::kCloseMarket, 41);
    close.bargainNo = 424242;
    cases.push_back({"close of an unknown position", close});
    OrderRequest limit = Request(wire::kBuyLimit, 42);
    limit.lotsHundredths = 10;
    limit.pricePoints = 11100;  // a buy limit above the market
    cases.push_back({"buy limit above the market", limit});
    OrderRequest remove = Request(wire::kDeleteOrder, 43);
    remove.orderNo = 999;
    cases.push_back({"delete of an unknown order", remove});
    OrderRequest change = Request(wire::kChangeOrder, 44);
    change.orderNo = 999;
    cases.push_back({"change of an unknown order", change});
    cases.push_back({"unknown kind", Request(61, 45)});
    OrderRequest other = Request(wire::kOpenMarket, 46);
    other.account = "someone-else";
    cases.push_back({"another account", other});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DeskReply reply = Only(desk.Apply(*account, c.request));
        EXPECT_EQ(reply.code, 7004);
        EXPECT_EQ(reply.order.kind, wire::kRefusal);
        EXPECT_EQ(reply.order.internalNo, c.request.internalNo);
        EXPECT_FALSE(reply.order.note.empty());
    }
    EXPECT_TRUE(account->positions.empty());
    EXPECT_TRUE(account->orders.empty());
    EXPECT_DOUBLE_EQ(account->balance, 10000);
}

TEST_F(OrderDeskTest, PendingOrderIsPlacedChangedAndDeleted) {
    OrderRequest place = Request(wire::kBuyLimit, 10);
    place.lotsHundredths = 50;
    place.pricePoints = 10900;
    const DeskReply placed = Only(desk.Apply(*account, place));
    EXPECT_EQ(placed.code, 7002);
    EXPECT_EQ(placed.order.kind, wire::kBuyLimit);
    EXPECT_EQ(placed.order.internalNo, 10);
    EXPECT_NEAR(placed.order.price, 1.09, 1e-9);
    const int orderNo = placed.order.orderNo;

    OrderRequest change = Request(wire::kChangeOrder, 11);
    change.orderNo = orderNo;
    change.pricePoints = 10800;
    const DeskReply changed = Only(desk.Apply(*account, change));
    EXPECT_EQ(changed.code, 7002);
    EXPECT_EQ(changed.order.orderNo, orderNo);
    EXPECT_EQ(changed.order.kind, wire::kBuyLimit);  // the order's own kind, not 68
    EXPECT_EQ(changed.order.internalNo, 11);
    EXPECT_NEAR(changed.order.price, 1.08, 1e-9);

    OrderRequest remove = Request(wire::kDeleteOrder, 12);
    remove.orderNo = orderNo;
    const DeskReply removed = Only(desk.Apply(*account, remove));
    EXPECT_EQ(removed.code, 7005);
    EXPECT_EQ(removed.order.orderNo, orderNo);
    EXPECT_EQ(removed.order.internalNo, 12);
    EXPECT_TRUE(account->orders.empty());
}

TEST_F(OrderDeskTest, CrossedPendingOrderFillsAsADealNumberedLikeTheOrder) {
    OrderRequest place = Request(wire::kSellLimit, 20);
    place.merch = "GBPUSD";
    place.lotsHundredths = 50;
    place.pricePoints = 12750;
    const int orderNo = Only(desk.Apply(*account, place)).order.orderNo;
    EXPECT_TRUE(desk.FillCrossedOrders(*account).empty());

    market.SetBid("GBPUSD", 1.2751);
    const DeskReply fill = Only(desk.FillCrossedOrders(*account));
    EXPECT_EQ(fill.code, 7003);
    EXPECT_EQ(fill.deal.bargainNo, orderNo);
    EXPECT_EQ(fill.deal.internalNo, 20);
    EXPECT_EQ(fill.deal.closeFlag, 0);
    EXPECT_EQ(fill.deal.side, wire::kSell);
    EXPECT_TRUE(account->orders.empty());
    ASSERT_EQ(account->positions.size(), 1u);
    EXPECT_TRUE(desk.FillCrossedOrders(*account).empty());
}

TEST_F(OrderDeskTest, TriggerPricesAreConfirmedOnlyOnTheRightSide) {
    const int bargain = OpenBuy(10);
    OrderRequest wrong = Request(wire::kSetTriggers, 30);
    wrong.bargainNo = bargain;
    wrong.stopPoints = 11100;  // above the bid of a buy
    EXPECT_EQ(Only(desk.Apply(*account, wrong)).code, 7004);

    OrderRequest right = wrong;
    right.internalNo = 31;
    right.stopPoints = 10900;
    right.takePoints = 11100;
    const DeskReply reply = Only(desk.Apply(*account, right));
    EXPECT_EQ(reply.code, 7002);
    EXPECT_EQ(reply.order.kind, wire::kSetTriggers);
    EXPECT_EQ(reply.order.bargainNo, bargain);
    EXPECT_NEAR(reply.order.stopLoss, 1.09, 1e-9);
    EXPECT_NEAR(reply.order.takeProfit, 1.11, 1e-9);
    EXPECT_NEAR(account->positions[0].takeProfit, 1.11, 1e-9);
}

TEST_F(OrderDeskTest, InternalNumbersHandedOutAtLoginStayAheadOfUsedOnes) {
    OpenBuy(10, 57);
    EXPECT_EQ(account->nextInternalNo, 58);
    OpenBuy(10, 3);
    EXPECT_EQ(account->nextInternalNo, 58);
}

// The market's factors make the client's dollar-profit rule give 100 000 units per lot for
// each kind of pair.
TEST(ProfitRuleTest, EveryKindOfPairConvertsAsAStandardContract) {
    Market market(1);
    market.SetBid("GBPUSD", 1.2700);
    market.SetBid("USDJPY", 151.00);
    const Instrument& eurusd = *market.Find("EURUSD");
    const Instrument& usdjpy = *market.Find("USDJPY");
    const Instrument& eurgbp = *market.Find("EURGBP");
    // 100 points of EURUSD on one lot: 1000 dollars.
    EXPECT_NEAR(ProfitInDollars(market, eurusd, wire::kSell, 1.1000, 1.1100, 1.0, 0.0), 1000.0,
                0.5);
    // A sell closed by a buy profits when the price falls.
    EXPECT_NEAR(ProfitInDollars(market, eurusd, wire::kBuy, 1.1100, 1.1000, 1.0, 0.0), 1000.0, 0.5);
    // One yen on one lot of USDJPY is 100 000 yen, in dollars at the pair's price.
    const double mid = (usdjpy.bid + usdjpy.ask) / 2;
    EXPECT_NEAR(ProfitInDollars(market, usdjpy, wire::kSell, 150.00, 151.00, 1.0, 0.0),
                100000.0 / mid, 1.0);
    // Ten points of EURGBP on one lot: 100 pounds, in dollars through GBPUSD.
    const Instrument& gbpusd = *market.Find("GBPUSD");
    EXPECT_NEAR(ProfitInDollars(market, eurgbp, wire::kSell, 0.8500, 0.8510, 1.0, 0.0),
                100.0 * (gbpusd.bid + gbpusd.ask) / 2, 0.5);
}

// The terminal sees the market only through the library's records.
CString Wide(const std::string& text) {
    return CString(std::wstring(text.begin(), text.end()).c_str());
}

CForexMerch MerchOf(const Instrument& i) {
    CForexMerch merch;
    merch.MerchCode = Wide(i.code);
    merch.PriceUnit = static_cast<float>(i.priceUnit);
    merch.ProfitFactor = static_cast<float>(i.profitFactor);
    merch.ProfitDivisor = static_cast<float>(i.profitDivisor);
    merch.RealtimePrice.Bid = static_cast<float>(i.bid);
    merch.RealtimePrice.Ask = static_cast<float>(i.ask);
    return merch;
}

TEST(FloatingProfitTest, IsWhatAClosingDealAtTheQuoteWouldBringOnEveryInstrument) {
    const Market market(3);
    for (const double baseRateSwitch : {0.0, 1.0}) {
        term::MarketCopy copy;
        copy.baseInfo.BaseRateSwitch = static_cast<float>(baseRateSwitch);
        for (const Currency& c : market.Currencies()) {
            CCurrency currency;
            currency.CurrencyCode = Wide(c.code);
            currency.UsdRate = static_cast<float>(c.usdRate);
            copy.currencys.Add(currency);
        }
        for (const Instrument& i : market.Instruments()) {
            CForexMerch merch = MerchOf(i);
            copy.merchs.Add(merch);
        }
        for (const Instrument& i : market.Instruments()) {
            for (const int side : {tradewire::kBuy, tradewire::kSell}) {
                CBargain position;
                position.MerchCode = Wide(i.code);
                position.Direction = side;
                position.Lots = 0.7f;
                position.Price = static_cast<float>(i.bid - 25 * i.priceUnit);
                const CForexMerch merch = MerchOf(i);
                const double close = term::ClosingPrice(position, merch);
                EXPECT_FLOAT_EQ(close, static_cast<float>(side == tradewire::kBuy ? i.bid : i.ask));
                const double expected =
                    ProfitInDollars(market, i, tradewire::OppositeSide(side), position.Price, close,
                                    position.Lots, baseRateSwitch);
                EXPECT_NEAR(term::FloatingProfit(position, merch, copy), expected,
                            1e-3 * (1 + std::abs(expected)))
                    << i.code << " side " << side << " switch " << baseRateSwitch;
                EXPECT_NE(expected, 0.0) << i.code;
            }
        }
    }
}

}  // namespace
}  // namespace sim
