#pragma once
// The simulator's own view of an account's trading: positions, pending orders, closed deals,
// and the deal and order records it sends. Plain values; the owner of an account guards it.

#include <string>
#include <vector>

#include "vocabulary/WireVocabulary.h"

namespace sim {

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
    int side = tradewire::kBuy;
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
    int kind = tradewire::kBuyLimit;
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
    int side = tradewire::kBuy;
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
