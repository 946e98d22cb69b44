#include "OrderDesk.h"

#include <cmath>
#include <optional>

#include "AccountRecords.h"
#include "ProfitRule.h"
#include "vocabulary/WireVocabulary.h"

namespace sim {

namespace {

float LotsFromHundredths(int hundredths) {
    return static_cast<float>(hundredths / 100.0);
}

double FromPoints(const Instrument& instrument, double points) {
    return Market::RoundToPoint(instrument, points * instrument.priceUnit);
}

// Stop loss and take profit as prices (0 = none).
struct Triggers {
    double stopLoss = 0;
    double takeProfit = 0;
};

DeskReply DealReply(const DealRecord& deal) {
    DeskReply reply;
    reply.code = wire::kDealEvent;
    reply.deal = deal;
    return reply;
}

DeskReply OrderReply(int code, const OrderRecord& order) {
    DeskReply reply;
    reply.code = code;
    reply.order = order;
    return reply;
}

bool IsValidLots(int hundredths) {
    return hundredths > 0 && hundredths <= OrderDesk::kMaxLotsHundredths;
}

double MarginInUse(const Account& account) {
    double lots = 0;
    for (const Position& p : account.positions) {
        lots += p.lots;
    }
    return lots * OrderDesk::kMarginPerLot;
}

// A buy opens at the ask and closes at the bid; a sell the other way round.
double OpenPrice(const Instrument& i, int side) {
    return side == tradewire::kBuy ? i.ask : i.bid;
}
double ClosePrice(const Instrument& i, int side) {
    return side == tradewire::kBuy ? i.bid : i.ask;
}

}  // namespace

bool IsCrossed(int kind, double price, double bid, double ask) {
    switch (kind) {
        case tradewire::kBuyLimit:
            return ask <= price;
        case tradewire::kSellLimit:
            return bid >= price;
        case tradewire::kBuyStop:
            return ask >= price;
        case tradewire::kSellStop:
            return bid <= price;
        default:
            return false;
    }
}

bool IsValidPendingPrice(int kind, double price, double bid, double ask) {
    if (price <= 0) {
        return false;
    }
    return tradewire::IsPendingKind(kind) && !IsCrossed(kind, price, bid, ask);
}

bool AreValidTriggers(int side, double reference, double stopLoss, double takeProfit) {
    if (stopLoss < 0 || takeProfit < 0) {
        return false;
    }
    if (side == tradewire::kBuy) {
        return (stopLoss == 0 || stopLoss < reference) &&
               (takeProfit == 0 || takeProfit > reference);
    }
    return (stopLoss == 0 || stopLoss > reference) && (takeProfit == 0 || takeProfit < reference);
}

namespace {

// The request's triggers as prices; none when either lies on the wrong side of `reference`
// for a trade of `side`.
std::optional<Triggers> ReadTriggers(const Instrument& instrument, const OrderRequest& request,
                                     int side, double reference) {
    const Triggers triggers{FromPoints(instrument, request.stopPoints),
                            FromPoints(instrument, request.takePoints)};
    if (!AreValidTriggers(side, reference, triggers.stopLoss, triggers.takeProfit)) {
        return std::nullopt;
    }
    return triggers;
}

constexpr const char* kTriggersOnWrongSide = "stop loss or take profit on the wrong side";

// A position or pending order a request names, with the instrument it trades; `refusal` says
// why the request cannot go on when either is missing.
template <typename Held>
struct Target {
    Held* held = nullptr;
    const Instrument* instrument = nullptr;
    const char* refusal = nullptr;
};

template <typename Held>
Target<Held> TargetOf(Held* held, const char* whenMissing, const Market& market) {
    if (held == nullptr) {
        return {.refusal = whenMissing};
    }
    const Instrument* instrument = market.Find(held->merch);
    if (instrument == nullptr) {
        return {.refusal = "unknown instrument"};
    }
    return {.held = held, .instrument = instrument};
}

Target<Position> PositionOf(Account& account, const OrderRequest& request, const Market& market) {
    return TargetOf(account.FindPosition(request.bargainNo), "no such position", market);
}

Target<PendingOrder> OrderOf(Account& account, const OrderRequest& request, const Market& market) {
    return TargetOf(account.FindOrder(request.orderNo), "no such order", market);
}

}  // namespace

OrderDesk::OrderDesk(const Market& market, Clock clock, double baseRateSwitch)
    : m_market(market), m_clock(std::move(clock)), m_baseRateSwitch(baseRateSwitch) {}

DeskReplies OrderDesk::Apply(Account& account, const OrderRequest& request) {
    account.NoteInternalNo(request.internalNo);
    if (!request.account.empty() && request.account != account.code) {
        return Refuse(account, request, "the order names another account");
    }
    if (tradewire::IsPendingKind(request.kind)) {
        return Place(account, request);
    }
    switch (request.kind) {
        case tradewire::kOpenMarket:
            return Open(account, request);
        case tradewire::kCloseMarket:
            return Close(account, request);
        case tradewire::kSetTriggers:
            return SetTriggers(account, request);
        case tradewire::kChangeOrder:
            return Change(account, request);
        case tradewire::kDeleteOrder:
            return Delete(account, request);
        default:
            return Refuse(account, request, "unknown order kind");
    }
}

DeskReplies OrderDesk::Open(Account& account, const OrderRequest& request) {
    const Instrument* instrument = m_market.Find(request.merch);
    if (instrument == nullptr) {
        return Refuse(account, request, "unknown instrument");
    }
    if (request.side != tradewire::kBuy && request.side != tradewire::kSell) {
        return Refuse(account, request, "the side must be buy (40) or sell (41)");
    }
    if (!IsValidLots(request.lotsHundredths)) {
        return Refuse(account, request, "lots must be between 0.01 and 100");
    }
    const float lots = LotsFromHundredths(request.lotsHundredths);
    if (MarginInUse(account) + lots * kMarginPerLot > account.balance) {
        return Refuse(account, request, "not enough money");
    }
    const double price = OpenPrice(*instrument, request.side);
    const std::optional<Triggers> triggers =
        ReadTriggers(*instrument, request, request.side, price);
    if (!triggers) {
        return Refuse(account, request, kTriggersOnWrongSide);
    }
    return {AddPosition(account, {.bargainNo = account.TakeNumber(),
                                  .internalNo = request.internalNo,
                                  .merch = instrument->code,
                                  .source = "market",
                                  .side = request.side,
                                  .lots = lots,
                                  .price = price,
                                  .stopLoss = triggers->stopLoss,
                                  .takeProfit = triggers->takeProfit,
                                  .opened = m_clock()})};
}

DeskReplies OrderDesk::Close(Account& account, const OrderRequest& request) {
    const auto [position, instrument, refusal] = PositionOf(account, request, m_market);
    if (refusal != nullptr) {
        return Refuse(account, request, refusal);
    }
    float lots = position->lots;
    if (request.lotsHundredths != 0) {
        if (request.lotsHundredths < 0 ||
            request.lotsHundredths / 100.0 > static_cast<double>(position->lots) + 1e-6) {
            return Refuse(account, request, "lots exceed the position");
        }
        // Closing what is left closes with the position's own float: the client subtracts
        // floats and keeps the position unless the difference is exactly 0, and after a partial
        // close "0.20" need not be the float it holds (0.3f - 0.1f is not 0.2f).
        const bool closesTheRest =
            std::fabs(request.lotsHundredths / 100.0 - static_cast<double>(position->lots)) < 0.005;
        lots = closesTheRest ? position->lots : LotsFromHundredths(request.lotsHundredths);
    }
    const int closeSide = tradewire::OppositeSide(position->side);
    const double price = ClosePrice(*instrument, position->side);

    ClosedDeal closed;
    closed.open = *position;
    closed.bargainNo = account.TakeNumber();
    closed.internalNo = request.internalNo;
    closed.lots = lots;
    closed.price = price;
    closed.closed = m_clock();
    closed.profit = static_cast<float>(ProfitInDollars(
        m_market, *instrument, closeSide, position->price, price, lots, m_baseRateSwitch));
    account.balance += closed.profit;
    account.history.push_back(closed);

    // The same float arithmetic as the client's, so both ends agree on whether it is gone.
    const double remaining = static_cast<double>(position->lots) - static_cast<double>(lots);
    if (remaining == 0) {
        account.positions.erase(account.positions.begin() + (position - account.positions.data()));
    } else {
        position->lots = static_cast<float>(remaining);
    }

    DealRecord deal;
    deal.account = account.code;
    deal.merch = closed.open.merch;
    deal.source = "market";
    deal.bargainNo = closed.bargainNo;
    deal.openBargainNo = closed.open.bargainNo;
    deal.internalNo = closed.internalNo;
    deal.stamp = closed.closed;
    deal.side = closeSide;
    deal.closeFlag = 1;
    deal.lots = lots;
    deal.price = price;
    deal.digits = instrument->digits;
    return {DealReply(deal)};
}

DeskReplies OrderDesk::SetTriggers(Account& account, const OrderRequest& request) {
    const auto [position, instrument, refusal] = PositionOf(account, request, m_market);
    if (refusal != nullptr) {
        return Refuse(account, request, refusal);
    }
    const std::optional<Triggers> triggers =
        ReadTriggers(*instrument, request, position->side, ClosePrice(*instrument, position->side));
    if (!triggers) {
        return Refuse(account, request, kTriggersOnWrongSide);
    }
    position->stopLoss = triggers->stopLoss;
    position->takeProfit = triggers->takeProfit;

    OrderRecord order;
    order.account = account.code;
    order.merch = position->merch;
    order.stamp = m_clock();
    order.internalNo = request.internalNo;
    order.bargainNo = position->bargainNo;
    order.kind = tradewire::kSetTriggers;
    order.side = position->side;
    order.lotsHundredths = static_cast<int>(std::lround(position->lots * 100.0));
    order.price = position->price;
    order.stopLoss = triggers->stopLoss;
    order.takeProfit = triggers->takeProfit;
    order.digits = instrument->digits;
    return {OrderReply(wire::kOrderEvent, order)};
}

DeskReplies OrderDesk::Place(Account& account, const OrderRequest& request) {
    const Instrument* instrument = m_market.Find(request.merch);
    if (instrument == nullptr) {
        return Refuse(account, request, "unknown instrument");
    }
    if (!IsValidLots(request.lotsHundredths)) {
        return Refuse(account, request, "lots must be between 0.01 and 100");
    }
    const double price = FromPoints(*instrument, request.pricePoints);
    if (!IsValidPendingPrice(request.kind, price, instrument->bid, instrument->ask)) {
        return Refuse(account, request, "price on the wrong side of the market");
    }
    const int side = tradewire::SideOfPendingKind(request.kind);
    const std::optional<Triggers> triggers = ReadTriggers(*instrument, request, side, price);
    if (!triggers) {
        return Refuse(account, request, kTriggersOnWrongSide);
    }
    PendingOrder order;
    order.orderNo = account.TakeNumber();
    order.internalNo = request.internalNo;
    order.merch = instrument->code;
    order.kind = request.kind;
    order.lotsHundredths = request.lotsHundredths;
    order.price = price;
    order.stopLoss = triggers->stopLoss;
    order.takeProfit = triggers->takeProfit;
    order.placed = m_clock();
    account.orders.push_back(order);
    return {OrderReply(wire::kOrderEvent, OrderRecordOf(account, order, DigitsOf(order.merch)))};
}

DeskReplies OrderDesk::Change(Account& account, const OrderRequest& request) {
    const auto [order, instrument, refusal] = OrderOf(account, request, m_market);
    if (refusal != nullptr) {
        return Refuse(account, request, refusal);
    }
    const double price =
        request.pricePoints > 0 ? FromPoints(*instrument, request.pricePoints) : order->price;
    if (!IsValidPendingPrice(order->kind, price, instrument->bid, instrument->ask)) {
        return Refuse(account, request, "price on the wrong side of the market");
    }
    const std::optional<Triggers> triggers =
        ReadTriggers(*instrument, request, tradewire::SideOfPendingKind(order->kind), price);
    if (!triggers) {
        return Refuse(account, request, kTriggersOnWrongSide);
    }
    order->price = price;
    order->stopLoss = triggers->stopLoss;
    order->takeProfit = triggers->takeProfit;
    return {OrderReply(wire::kOrderEvent, AnswerOf(account, *order, request))};
}

DeskReplies OrderDesk::Delete(Account& account, const OrderRequest& request) {
    PendingOrder* order = account.FindOrder(request.orderNo);
    if (order == nullptr) {
        return Refuse(account, request, "no such order");
    }
    const DeskReply reply = OrderReply(wire::kRemovalEvent, AnswerOf(account, *order, request));
    account.orders.erase(account.orders.begin() + (order - account.orders.data()));
    return {reply};
}

DeskReplies OrderDesk::Refuse(const Account& account, const OrderRequest& request,
                              const std::string& reason) const {
    OrderRecord order;
    order.account = account.code;
    order.merch = request.merch;
    order.stamp = m_clock();
    order.internalNo = request.internalNo;
    order.orderNo = request.orderNo;
    order.bargainNo = request.bargainNo;
    order.kind = tradewire::kRefusal;
    order.side = request.side;
    order.lotsHundredths = request.lotsHundredths;
    order.note = reason;
    order.digits = DigitsOf(request.merch);
    return {OrderReply(wire::kRefusalEvent, order)};
}

DeskReplies OrderDesk::FillCrossedOrders(Account& account) {
    DeskReplies replies;
    for (size_t index = 0; index < account.orders.size();) {
        const PendingOrder order = account.orders[index];
        const Instrument* instrument = m_market.Find(order.merch);
        if (instrument == nullptr ||
            !IsCrossed(order.kind, order.price, instrument->bid, instrument->ask)) {
            ++index;
            continue;
        }
        account.orders.erase(account.orders.begin() + static_cast<std::ptrdiff_t>(index));
        const int side = tradewire::SideOfPendingKind(order.kind);
        // The client finds the filled order by the deal's number, so it is the order's.
        replies.push_back(AddPosition(account, {.bargainNo = order.orderNo,
                                                .internalNo = order.internalNo,
                                                .merch = order.merch,
                                                .source = "pending",
                                                .side = side,
                                                .lots = LotsFromHundredths(order.lotsHundredths),
                                                .price = OpenPrice(*instrument, side),
                                                .stopLoss = order.stopLoss,
                                                .takeProfit = order.takeProfit,
                                                .opened = m_clock()}));
    }
    return replies;
}

DeskReply OrderDesk::AddPosition(Account& account, const Position& position) const {
    account.positions.push_back(position);
    return DealReply(OpeningDealOf(account, position, DigitsOf(position.merch)));
}

OrderRecord OrderDesk::AnswerOf(const Account& account, const PendingOrder& order,
                                const OrderRequest& request) const {
    OrderRecord record = OrderRecordOf(account, order, DigitsOf(order.merch));
    // The reply answers this request, so it carries the request's number; the order keeps its
    // own for the fill.
    record.internalNo = request.internalNo;
    return record;
}

int OrderDesk::DigitsOf(const std::string& merch) const {
    const Instrument* instrument = m_market.Find(merch);
    return instrument == nullptr ? 5 : instrument->digits;
}

}  // namespace sim
