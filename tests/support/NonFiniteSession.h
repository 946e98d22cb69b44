#pragma once
// A session from a hostile server whose numbers are "nan", "inf", "-inf", "1e309", "-1e39" and
// the like, in every kind of message: the account with its fund lines and instruments, the
// reference lists, the bargain, order and history lists, quotes, and deal and order events.
// Only the server speaks; the deals reach the books through the fill path (each fills an order
// of the order list).
//
// Afterwards every stored number must be finite, except the history line of the one closing
// deal whose position was stored with 0 lots ("nan" on the wire): that line divides by the
// position's lots and keeps the IEEE result, as history lines always have.

#include <string>
#include <vector>

// One complete inbound line (frame and line end) per message, in the order they are sent.
std::vector<std::string> NonFiniteSessionLines();

// What the session leaves that a test checks besides finiteness.
struct NonFiniteSessionResult {
    static constexpr int kPosition = 11;            // closed with "nan" lots: keeps its 2 lots
    static constexpr int kZeroLotsPosition = 12;    // "nan" lots, then 1 lot closed: -1 left
    static constexpr int kZeroLotsHistoryLine = 2;  // after the listed line and position 11's
};
