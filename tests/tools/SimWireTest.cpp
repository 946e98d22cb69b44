// The simulator and the terminal against the library's own protocol object: what the
// simulator sends must land in the data center as intended, what the terminal builds must read
// back field for field, and the desk's replies must drive the client's merges to the state the
// simulator keeps. No network: frames pass straight from one side to the other.

#include <gtest/gtest.h>

#include <string>

#include "Account.h"
#include "Market.h"
#include "MessageBuilders.h"
#include "OrderBuilder.h"
#include "OrderDesk.h"
#include "RecordingSink.h"
#include "RequestParser.h"
#include "WireFormat.h"
#include "protocol/ForexProtocol.h"

namespace {

class SimWireTest : public ::testing::Test {
  protected:
    SimWireTest()
        : market(3),
          desk(
              market,
              [] {
                  return sim::Stamp{"20240501", "12:00:00"};
              },
              0.0) {
        account = &book.Add("acc", "pw", "Holder", 10000);
        market.SetBid("EURUSD", 1.1000);
        protocol.GetDataCenter()->SetNotify(&sink);
    }

    wire::Result Deliver(int code, const std::string& body) {
        std::string frame = sim::PackServerFrame(code, body);
        EXPECT_EQ(frame.substr(frame.size() - 2), "\r\n");
        frame.resize(frame.size() - 2);
        return protocol.Dispatch(frame);
    }

    void LogIn() {
        Deliver(wire::kLoginReply, sim::BuildLoginReply(*account));
        Deliver(wire::kAccountInfo, sim::BuildAccountInfo(*account, market));
        Deliver(wire::kInstrumentList, sim::BuildInstrumentList(market));
        Deliver(wire::kCurrencyList, sim::BuildCurrencyList(market));
        Deliver(wire::kBaseInfo, sim::BuildBaseInfo(0.0));
        Deliver(wire::kGroupInfo, sim::BuildGroup());
        Deliver(wire::kBargainList, sim::BuildBargainList(*account, market));
        Deliver(wire::kOrderList, sim::BuildOrderList(*account, market));
    }

    sim::OrderRequest ReadBack(const COrderInfo& order) {
        const std::string frame = protocol.BuildCommitBill(order);
        sim::RequestFrame parsed;
        EXPECT_TRUE(sim::ParseRequestFrame(frame, parsed));
        EXPECT_EQ(parsed.code, 7001);
        EXPECT_TRUE(parsed.lengthMatches);
        return sim::ParseOrder(parsed.body);
    }

    void Deliver(const sim::DeskReplies& replies) {
        for (const sim::DeskReply& reply : replies) {
            Deliver(reply.code,
                    reply.code == 7003 ? sim::BuildDeal(reply.deal) : sim::BuildOrder(reply.order));
        }
    }

    // A terminal request through the library's encoding, the desk, and back.
    void Trade(const COrderInfo& order) { Deliver(desk.Apply(*account, ReadBack(order))); }

    CForexMerch Merch(const wchar_t* code) {
        CForexMerchArray merchs;
        dc()->GetForexMerchs(merchs);
        for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
            if (merchs[i].MerchCode == code) {
                return merchs[i];
            }
        }
        ADD_FAILURE() << "no instrument";
        return {};
    }

    term::Command Market(term::CommandKind kind, int hundredths) {
        term::Command c;
        c.kind = kind;
        c.lotsHundredths = hundredths;
        return c;
    }
    term::Command Pending(decltype(term::Command::pendingKind) pendingKind, int hundredths,
                          double price) {
        term::Command c = Market(term::CommandKind::Pending, hundredths);
        c.pendingKind = pendingKind;
        c.price = price;
        return c;
    }

    bool SinkSaw(const std::string& prefix) {
        for (const std::string& line : sink.Lines()) {
            if (line.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    }

    CForexDataCenter* dc() { return protocol.GetDataCenter(); }
    double Balance() {
        CAccountInfo info;
        dc()->GetAccountInfo(info);
        return info.Funds.IsEmpty() ? -1 : info.Funds[0].Balance;
    }

    sim::Market market;
    sim::AccountBook book;
    sim::Account* account = nullptr;
    sim::OrderDesk desk;
    CRecordingSink sink;
    CForexProtocol protocol;
};

TEST_F(SimWireTest, LoginMessagesFillEveryStore) {
    sim::OrderRequest open;
    open.merch = "EURUSD";
    open.kind = wire::kOpenMarket;
    open.side = wire::kBuy;
    open.lotsHundredths = 25;
    open.internalNo = 9;
    desk.Apply(*account, open);
    sim::OrderRequest place = open;
    place.kind = wire::kBuyLimit;
    place.pricePoints = 10900;
    place.internalNo = 10;
    desk.Apply(*account, place);

    LogIn();

    CAccountInfo info;
    dc()->GetAccountInfo(info);
    EXPECT_EQ(info.AccountCode, L"acc");
    EXPECT_EQ(info.Value2, L"Holder");
    ASSERT_EQ(info.Funds.GetSize(), 1);
    EXPECT_DOUBLE_EQ(info.Funds[0].Balance, 10000);
    EXPECT_EQ(info.Merchs.GetSize(), 5);
    EXPECT_EQ(info.InternalNo, 11);  // ahead of every number the requests used

    const CForexMerch eurusd = Merch(L"EURUSD");
    EXPECT_FLOAT_EQ(eurusd.RealtimePrice.Bid, 1.1000f);
    EXPECT_FLOAT_EQ(eurusd.RealtimePrice.Ask, 1.1002f);  // not widened: our spread is wider
    EXPECT_FLOAT_EQ(eurusd.PriceUnit, 0.0001f);
    EXPECT_GT(eurusd.MinSpread, 0.0f);

    CCurrencyArray currencies;
    dc()->GetCurrencysInfo(currencies);
    ASSERT_EQ(currencies.GetSize(), 5);
    EXPECT_EQ(currencies[0].CurrencyCode, L"USD");
    EXPECT_FLOAT_EQ(currencies[0].UsdRate, 1.0f);

    CGroup group;
    dc()->GetGroupInfo(group);
    EXPECT_EQ(group.Value1, L"standard");

    CBargainArray bargains;
    dc()->GetBargainsInfo(bargains);
    ASSERT_EQ(bargains.GetSize(), 1);
    EXPECT_FLOAT_EQ(bargains[0].Lots, 0.25f);
    EXPECT_FLOAT_EQ(bargains[0].Price, 1.1002f);
    EXPECT_EQ(bargains[0].Direction, wire::kBuy);

    COrderInfoArray orders;
    dc()->GetOrdersInfo(orders);
    ASSERT_EQ(orders.GetSize(), 1);
    EXPECT_EQ(orders[0].OrderKind, wire::kBuyLimit);
    EXPECT_EQ(orders[0].Value11, 25);
    EXPECT_FLOAT_EQ(orders[0].Value14, 1.09f);
}

TEST_F(SimWireTest, QuotesReachTheirInstrumentsWithTheSendStamp) {
    LogIn();
    market.SetBid("EURUSD", 1.1234);
    market.SetBid("USDJPY", 149.87);
    const std::vector<size_t> moved = {0, 2};
    Deliver(wire::kQuotes, sim::BuildQuotes(market, moved, 1714560000123456LL));
    const CForexMerch eurusd = Merch(L"EURUSD");
    EXPECT_FLOAT_EQ(eurusd.RealtimePrice.Bid, 1.1234f);
    EXPECT_FLOAT_EQ(eurusd.RealtimePrice.Ask, 1.1236f);
    EXPECT_EQ(eurusd.RealtimePrice.QuoteStamp, L"1714560000123456");
    EXPECT_FLOAT_EQ(Merch(L"USDJPY").RealtimePrice.Bid, 149.87f);
}

TEST_F(SimWireTest, TerminalRequestsReadBackFieldForField) {
    LogIn();
    term::Command command = Pending(wire::kSellStop, 125, 1.0950);
    command.stopLoss = 1.1050;
    command.takeProfit = 1.0800;
    const sim::OrderRequest r =
        ReadBack(term::BuildPendingOrder(command, L"acc", Merch(L"EURUSD"), 77));
    EXPECT_EQ(r.account, "acc");
    EXPECT_EQ(r.merch, "EURUSD");
    EXPECT_EQ(r.internalNo, 77);
    EXPECT_EQ(r.kind, wire::kSellStop);
    EXPECT_EQ(r.side, wire::kSell);
    EXPECT_EQ(r.lotsHundredths, 125);
    EXPECT_EQ(r.pricePoints, 10950);
    EXPECT_EQ(r.stopPoints, 11050);
    EXPECT_EQ(r.takePoints, 10800);
    EXPECT_EQ(r.note, "tradewire-term");

    CBargain position;
    position.BargainNo = 100123;
    position.MerchCode = L"EURUSD";
    position.Direction = wire::kBuy;
    const sim::OrderRequest close = ReadBack(term::BuildCloseOrder(position, 0, L"acc", 78));
    EXPECT_EQ(close.kind, wire::kCloseMarket);
    EXPECT_EQ(close.bargainNo, 100123);
    EXPECT_EQ(close.closeFlag, 1);
    EXPECT_EQ(close.lotsHundredths, 0);
    EXPECT_EQ(close.orderNo, 0);

    sim::RequestFrame frame;
    ASSERT_TRUE(sim::ParseRequestFrame(protocol.BuildLogin(L"alice", L"secret"), frame));
    EXPECT_EQ(frame.code, 8000);
    const sim::LoginRequest login = sim::ParseLogin(frame.body);
    EXPECT_EQ(login.user, "alice");
    EXPECT_EQ(login.password, "secret");
}

TEST_F(SimWireTest, MarketOrderOpenedAndClosedLeavesBothEndsWithTheSameBalance) {
    LogIn();
    Trade(term::BuildMarketOrder(Market(term::CommandKind::Buy, 100), L"acc", Merch(L"EURUSD"),
                                 dc()->GetInternalNo()));
    CBargainArray bargains;
    dc()->GetBargainsInfo(bargains);
    ASSERT_EQ(bargains.GetSize(), 1);
    EXPECT_TRUE(SinkSaw("OnBargainOpened"));

    market.SetBid("EURUSD", 1.1050);
    Deliver(wire::kQuotes, sim::BuildQuotes(market, {0}, 1));
    Trade(term::BuildCloseOrder(bargains[0], 0, L"acc", dc()->GetInternalNo()));

    dc()->GetBargainsInfo(bargains);
    EXPECT_EQ(bargains.GetSize(), 0);
    EXPECT_TRUE(SinkSaw("OnBargainClosed"));
    EXPECT_NEAR(Balance(), account->balance, 0.01);
    EXPECT_NEAR(Balance(), 10000 + 480, 0.5);  // 48 points of 10 dollars
    CHistoryOrderInfoArray history;
    dc()->GetHistoryOrderInfo(history);
    ASSERT_EQ(history.GetSize(), 1);
    EXPECT_NEAR(history[0].Profit, 480, 0.5);
}

TEST_F(SimWireTest, PendingOrderIsPlacedChangedDeletedAndFilledThroughTheMerges) {
    LogIn();
    Trade(term::BuildPendingOrder(Pending(wire::kBuyLimit, 10, 1.0900), L"acc", Merch(L"EURUSD"),
                                  dc()->GetInternalNo()));
    COrderInfoArray orders;
    dc()->GetOrdersInfo(orders);
    ASSERT_EQ(orders.GetSize(), 1);
    EXPECT_TRUE(SinkSaw("OnOrderAdded"));

    term::Command change;
    change.price = 1.0950;
    Trade(
        term::BuildChangeOrder(orders[0], Merch(L"EURUSD"), change, L"acc", dc()->GetInternalNo()));
    dc()->GetOrdersInfo(orders);
    ASSERT_EQ(orders.GetSize(), 1);
    EXPECT_FLOAT_EQ(orders[0].Value14, 1.095f);
    EXPECT_TRUE(SinkSaw("OnOrderChanged"));

    Trade(term::BuildDeleteOrder(orders[0], L"acc", dc()->GetInternalNo()));
    dc()->GetOrdersInfo(orders);
    EXPECT_EQ(orders.GetSize(), 0);
    EXPECT_TRUE(SinkSaw("OnOrderDeleted"));

    // A new order, then the market falls through it: the fill moves it to the positions.
    Trade(term::BuildPendingOrder(Pending(wire::kBuyLimit, 10, 1.0900), L"acc", Merch(L"EURUSD"),
                                  dc()->GetInternalNo()));
    dc()->GetOrdersInfo(orders);
    ASSERT_EQ(orders.GetSize(), 1);
    const int orderNo = orders[0].OrderNo;
    market.SetBid("EURUSD", 1.0890);
    Deliver(desk.FillCrossedOrders(*account));
    dc()->GetOrdersInfo(orders);
    EXPECT_EQ(orders.GetSize(), 0);
    CBargainArray bargains;
    dc()->GetBargainsInfo(bargains);
    ASSERT_EQ(bargains.GetSize(), 1);
    EXPECT_EQ(bargains[0].BargainNo, orderNo);
}

TEST_F(SimWireTest, RefusalsReachTheirRefusalCallbacksAndChangeNothing) {
    LogIn();
    Trade(term::BuildMarketOrder(Market(term::CommandKind::Buy, 5000), L"acc", Merch(L"EURUSD"),
                                 dc()->GetInternalNo()));
    EXPECT_TRUE(SinkSaw("OnOpenRefused"));
    COrderInfo unknown;
    unknown.OrderNo = 31337;
    Trade(term::BuildDeleteOrder(unknown, L"acc", dc()->GetInternalNo()));
    EXPECT_TRUE(SinkSaw("OnDeleteRefused"));
    CBargainArray bargains;
    dc()->GetBargainsInfo(bargains);
    EXPECT_EQ(bargains.GetSize(), 0);
    EXPECT_DOUBLE_EQ(Balance(), 10000);
}

TEST(SimFrameTest, ServerFramesDeclareTheirOwnLength) {
    const std::string frame = sim::PackServerFrame(9002, "abc\x01");
    EXPECT_EQ(frame, std::string("000022000000"
                                 "9002\x03"
                                 "abc\x01\x04\r\n"));
}

}  // namespace
