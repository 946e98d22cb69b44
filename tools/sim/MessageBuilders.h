#pragma once
// The bodies of the messages the simulator sends, one builder per message. A body goes into
// PackServerFrame with its wire:: code; builders never add the frame's closing 0x04 themselves.
// Field positions follow what the client reads; positions we give no meaning are sent as 0
// or empty text.

#include <string>
#include <vector>

#include "Account.h"
#include "Market.h"
#include "SimRecords.h"
#include "vocabulary/WireVocabulary.h"

namespace sim {

// Error numbers of our 9999 reports.
inline constexpr int kErrorWrongPassword = 101;
inline constexpr int kErrorNotLoggedIn = 102;
inline constexpr int kErrorReplayTaken = 103;

std::string BuildLoginReply(const Account& account);
std::string BuildErrorReport(const std::string& text, int code);
std::string BuildAccountInfo(const Account& account, const Market& market);
std::string BuildInstrumentList(const Market& market);
std::string BuildCurrencyList(const Market& market);
std::string BuildBaseInfo(double baseRateSwitch);
std::string BuildGroup();
std::string BuildBargainList(const Account& account, const Market& market);
std::string BuildOrderList(const Account& account, const Market& market);
// Closed deals whose closing date lies in [from, to] (YYYYMMDD, both included).
std::string BuildHistory(const Account& account, const Market& market, int from, int to);
std::string BuildDeal(const DealRecord& deal);
std::string BuildOrder(const OrderRecord& order);
// One section with a quote record for each listed instrument. The stamp is the send time in
// microseconds since 1970 (wall clock), so a client on the same machine can measure latency.
std::string BuildQuotes(const Market& market, const std::vector<size_t>& indexes,
                        long long stampMicros);
std::string BuildTextNotice(const std::string& text);
std::string BuildBroadcast(int number, const std::string& title, const std::string& text,
                           const Stamp& stamp);

}  // namespace sim
