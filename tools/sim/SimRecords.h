#pragma once
// The simulator's own view of an account's trading: positions, pending orders, closed deals,
// and the deal and order records it sends. Plain values; the owner of an account guards it.

#include <string>
#include <vector>

namespace sim {

// Sides of a deal. A deal carries the side of its own trade, so the deal that closes a buy
// position is a sell.
inline constexpr int kBuy = 40;
inline constexpr int kSell = 41;

inline int OppositeSide(int side) {
    return side == kBuy ? kSell : kBuy;
}

// Order kinds of a 7001 request, and 72, the kind of a reply that refuses one.
enum OrderKind : int {
    kOpenMarket = 60,
    kCloseMarket = 62,
    kSetTriggers = 63,
    kBuyLimit = 64,
    kSellLimit = 65,
    kBuyStop = 66,
    kSellStop = 67,
    kChangeOrder = 68,
    kDeleteOrder = 69,
    kRefusal = 72,
};

inline bool IsPendingKind(int kind) {
    return kind >= kBuyLimit && kind <= kSellStop;
}
inline int SideOfPendingKind(int kind) {
    return kind == kBuyLimit || kind == kBuyStop ? kBuy : kSell;
}

// Date and time texts of an event, in local time: "YYYYMMDD" and "HH:MM:SS".
struct Stamp {
    std::string date;
    std::string time;
};

struct Position {
    int bargainNo = 0;
    int internalNo = 0;
    std::string merch;
    std::string source;  // "market" or "pending"
    int side = kBuy;
    float lots = 0;  // kept as the client's float, so equal lots compare equal on both ends
    double price = 0;
    double stopLoss = 0;
    double takeProfit = 0;
    Stamp opened;
};

struct PendingOrder {
    int orderNo = 0;
    int internalNo = 0;
    std::string merch;
    int kind = kBuyLimit;
    int lotsHundredths = 0;
    double price = 0;
    double stopLoss = 0;
    double takeProfit = 0;
    Stamp placed;
};

struct ClosedDeal {
    Position open;      // as it was before this close, with its lots at that time
    int bargainNo = 0;  // of the closing deal
    int internalNo = 0;
    float lots = 0;
    double price = 0;
    double profit = 0;
    Stamp closed;
};

// The deal record of messages 7003 and 9512.
struct DealRecord {
    std::string account;
    std::string merch;
    std::string source;
    int bargainNo = 0;
    int openBargainNo = 0;
    int internalNo = 0;
    Stamp stamp;
    int side = kBuy;
    int closeFlag = 0;
    float lots = 0;
    double price = 0;
    double stopLoss = 0;
    double takeProfit = 0;
    int digits = 5;
};

// The order record of messages 7002, 7004, 7005 and 9513.
struct OrderRecord {
    std::string account;
    std::string merch;
    Stamp stamp;
    int internalNo = 0;
    int orderNo = 0;
    int bargainNo = 0;
    int kind = 0;
    int side = 0;
    int lotsHundredths = 0;
    int closeFlag = 0;
    double price = 0;
    double stopLoss = 0;
    double takeProfit = 0;
    std::string note;  // the reason of a refusal
    int digits = 5;
};

// One message the order desk wants sent: 7003 carries a deal, 7002, 7004 and 7005 an order.
struct DeskReply {
    int code = 0;
    DealRecord deal;
    OrderRecord order;
};

using DeskReplies = std::vector<DeskReply>;

}  // namespace sim
