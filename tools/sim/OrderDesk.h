#pragma once
// Carries out order requests against an account and the market, and fills pending orders
// whose price the market has crossed. It answers with the messages the client's merges
// expect:
//   60 open       -> 7003 opening deal (InternalNo of the request)
//   62 close      -> 7003 closing deal (CloseFlag 1, OpenBargainNo = the position)
//   63 triggers   -> 7002 order of kind 63 naming the position and its new trigger prices
//   64-67 pending -> 7002 the new order
//   68 change     -> 7002 the changed order (with its own kind, 64 to 67)
//   69 delete     -> 7005 the removed order
//   any refusal   -> 7004 an order of kind 72 with the request's InternalNo and the reason
//   a fill        -> 7003 opening deal whose BargainNo is the order's OrderNo
// Owned and called by one thread.

#include <functional>

#include "Account.h"
#include "Market.h"
#include "RequestParser.h"
#include "SimRecords.h"

namespace sim {

class OrderDesk {
  public:
    using Clock = std::function<Stamp()>;

    OrderDesk(const Market& market, Clock clock, double baseRateSwitch);

    DeskReplies Apply(Account& account, const OrderRequest& request);
    DeskReplies FillCrossedOrders(Account& account);

    static constexpr int kMaxLotsHundredths = 10000;
    static constexpr double kMarginPerLot = 1000.0;  // dollars held per open lot

    double BaseRateSwitch() const { return m_baseRateSwitch; }

  private:
    DeskReplies Open(Account& account, const OrderRequest& request);
    DeskReplies Close(Account& account, const OrderRequest& request);
    DeskReplies SetTriggers(Account& account, const OrderRequest& request);
    DeskReplies Place(Account& account, const OrderRequest& request);
    DeskReplies Change(Account& account, const OrderRequest& request);
    DeskReplies Delete(Account& account, const OrderRequest& request);
    DeskReplies Refuse(const Account& account, const OrderRequest& request,
                       const std::string& reason) const;

    // Adds the position to the account and answers with its opening deal.
    DeskReply AddPosition(Account& account, const Position& position) const;
    // The order as a reply to `request`: it carries the request's InternalNo.
    OrderRecord AnswerOf(const Account& account, const PendingOrder& order,
                         const OrderRequest& request) const;
    int DigitsOf(const std::string& merch) const;

    const Market& m_market;
    Clock m_clock;
    double m_baseRateSwitch;
};

// Whether a pending order of this kind at this price would be filled at the given quote.
bool IsCrossed(int kind, double price, double bid, double ask);
// Whether a new pending order of this kind may be placed at this price now (a limit below
// the market to buy, a stop above it, and so on). Equal prices are refused: they would fill
// at once.
bool IsValidPendingPrice(int kind, double price, double bid, double ask);
// Whether stop loss and take profit (0 = none) lie on the right side of a reference price.
bool AreValidTriggers(int side, double reference, double stopLoss, double takeProfit);

}  // namespace sim
