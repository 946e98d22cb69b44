#pragma once
// The words both ends of a trading connection share: message codes, order kinds and sides,
// the control bytes that cut a message into fields, records and sections, the sizes of a
// frame's fixed header, and what reading one inbound message came to. Constants only, no
// state and nothing from the system, so the library, the simulator, the terminal, the
// benchmarks and the fuzzers can all spell the protocol the same way.

#include <tradewire/TradeCodes.h>

#include <cstddef>

namespace wire {

// Requests a terminal sends.
inline constexpr int kLoginRequest = 8000;
inline constexpr int kLogoutRequest = 8001;
inline constexpr int kOrderRequest = 7001;
inline constexpr int kHistoryRequest = 7900;

// Messages a server sends. The one-order and one-deal events answer an order request.
inline constexpr int kLoginReply = 8000;
inline constexpr int kOrderEvent = 7002;
inline constexpr int kDealEvent = 7003;
inline constexpr int kRefusalEvent = 7004;
inline constexpr int kRemovalEvent = 7005;
inline constexpr int kTextNotice = 9002;
inline constexpr int kAccountInfo = 9501;
inline constexpr int kCurrencyList = 9505;
inline constexpr int kInstrumentList = 9511;
inline constexpr int kBargainList = 9512;
inline constexpr int kOrderList = 9513;
inline constexpr int kHistoryList = 9514;
inline constexpr int kGroupInfo = 9515;
inline constexpr int kBaseInfo = 9516;
inline constexpr int kQuotes = 9518;
inline constexpr int kBroadcast = 9524;
inline constexpr int kErrorReport = 9999;

// Order kinds and sides are the terminal's words too: the public header holds their numbers.
using tradewire::IsPendingKind;
using tradewire::kBuy;
using tradewire::kBuyLimit;
using tradewire::kBuyStop;
using tradewire::kChangeOrder;
using tradewire::kCloseMarket;
using tradewire::kDeleteOrder;
using tradewire::kOpenMarket;
using tradewire::kRefusal;
using tradewire::kSell;
using tradewire::kSellLimit;
using tradewire::kSellStop;
using tradewire::kSetTriggers;
using tradewire::OppositeSide;
using tradewire::SideOfPendingKind;

// Control bytes. A frame is its length field, a zero field, the code, kHeaderEnd, the body and
// a closing kRecordEnd; a server ends each frame with CR LF, a terminal with a line feed.
inline constexpr char kFieldEnd = '\x01';
inline constexpr char kHeaderEnd = '\x03';
inline constexpr char kRecordEnd = '\x04';
inline constexpr char kSectionEnd = '\x05';
inline constexpr char kServerLineEnd = '\x0D';  // followed by 0x0A
inline constexpr std::size_t kServerLineEndSize = 2;
inline constexpr char kRequestLineEnd = '\n';

// The header's fixed part: the whole frame's length and a field of zeros, six digits each.
inline constexpr std::size_t kLengthFieldSize = 6;
inline constexpr std::size_t kZeroFieldSize = 6;
inline constexpr std::size_t kFixedHeaderSize = kLengthFieldSize + kZeroFieldSize;

// The most received bytes a connection holds unprocessed, far above any real message (a list
// of 10 000 instruments is about 2.3 MB); the message that would pass it is dropped.
inline constexpr std::size_t kReceiveCeiling = std::size_t{64} << 20;

// What reading one inbound message came to.
enum class Result : int {
    Handled = 1,      // read (or deliberately passed over); its bytes may go
    Incomplete = 0,   // shorter than it declares: keep it and join what follows
    NothingRead = -1  // an empty body, nothing usable in it, or nowhere to put it
};

}  // namespace wire
