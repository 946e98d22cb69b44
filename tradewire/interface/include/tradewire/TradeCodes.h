#pragma once
// The numbers a terminal puts into and reads out of the trading records, by name. Constants
// and pure inline functions only: nothing here is exported, and any thread may use them.
//
// Where they go in a COrderInfo request:
//   OrderKind      one of the order kinds below
//   Value10        the side (kBuy, kSell), or kNoSide where the kind takes none
//   Value11        the volume in hundredths of a lot (kHundredthsPerLot to one lot)
//   CloseFlag      kClosesPosition on a close, else kOpensPosition
//   Value14        a pending order's price, in price units (price / CForexMerch::PriceUnit)
//   TriggerPrice1  stop loss, in price units; 0 for none
//   TriggerPrice2  take profit, in price units; 0 for none
//   Value28        a free note on a request; on a refusal (kRefusal) the server's reason
// A CBargain carries its side in Direction and its own CloseFlag; an order-list entry carries
// its kind in OrderKind.

#include "tradewire/Server.h"

namespace tradewire {

// Order kinds (COrderInfo::OrderKind).
inline constexpr int kOpenMarket = 60;   // open a position at the market
inline constexpr int kCloseMarket = 62;  // close a position (BargainNo), whole or in part
inline constexpr int kSetTriggers = 63;  // set a position's stop loss and take profit
inline constexpr int kBuyLimit = 64;
inline constexpr int kSellLimit = 65;
inline constexpr int kBuyStop = 66;
inline constexpr int kSellStop = 67;
inline constexpr int kChangeOrder = 68;  // move a pending order (OrderNo)
inline constexpr int kDeleteOrder = 69;  // cancel a pending order (OrderNo)
inline constexpr int kRefusal = 72;      // the kind of a reply that refuses a request

inline constexpr bool IsPendingKind(int kind) {
    return kind >= kBuyLimit && kind <= kSellStop;
}

// Sides (COrderInfo::Value10, CBargain::Direction). A deal carries the side of its own trade,
// so the deal that closes a buy position is a sell.
inline constexpr int kBuy = 40;
inline constexpr int kSell = 41;
inline constexpr int kNoSide = -1;  // sent as an empty field

inline constexpr int OppositeSide(int side) {
    return side == kBuy ? kSell : kBuy;
}
inline constexpr int SideOfPendingKind(int kind) {
    return kind == kBuyLimit || kind == kBuyStop ? kBuy : kSell;
}

// Volumes (COrderInfo::Value11) count hundredths of a lot.
inline constexpr int kHundredthsPerLot = 100;

// Close flags (COrderInfo::CloseFlag, CBargain::CloseFlag).
inline constexpr int kOpensPosition = 0;
inline constexpr int kClosesPosition = 1;  // a deal closes with any other value than 0

// The English name of a library error code (E_ErrorCode). A number the library does not make
// came from the server's error report.
inline constexpr const char* ErrorCodeName(int code) {
    switch (code) {
        case EC_NoError:
            return "no error";
        case EC_NotInitialized:
            return "the TLS library could not be loaded, or lacks what a server check needs";
        case EC_SslObjectFailed:
            return "no TLS session could be made";
        case EC_InvalidServer:
            return "no server address or port";
        case EC_ConnectFailed:
            return "the connection failed";
        case EC_ThreadFailed:
            return "a worker thread could not start";
        case EC_CertificateRejected:
            return "the server's certificate was rejected";
        default:
            return "reported by the server";
    }
}

}  // namespace tradewire
