#pragma once
// Inbound messages for the benchmarks, made by the simulator's own builders so that their
// fields are the ones a server really sends. "Realistic" sizes are what one account on a
// dealing desk sees; the large ones grow the record count until a list is megabytes long.
// Every function is pure: it returns new text and touches no shared state.

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "Account.h"
#include "Market.h"
#include "MessageBuilders.h"
#include "WireFormat.h"

namespace bench {

// The pieces of `text` that each end with `terminator`, each kept with it; what follows the
// last terminator is dropped.
inline std::vector<std::string> SplitKeeping(std::string_view text, char terminator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t end = text.find(terminator); end != std::string_view::npos;
         end = text.find(terminator, start)) {
        pieces.emplace_back(text.substr(start, end - start + 1));
        start = end + 1;
    }
    return pieces;
}

// The records of a body (each kept with its closing 0x04).
inline std::vector<std::string> SplitRecords(std::string_view body) {
    return SplitKeeping(body, wire::kRecordEnd);
}

// `count` records cycled from the given ones, the first field (an instrument code) of copy k
// made unique by a suffix, so a list of thousands of instruments has thousands of codes.
inline std::string RepeatWithUniqueCodes(const std::vector<std::string>& records, int count) {
    std::string body;
    for (int k = 0; k < count; ++k) {
        const std::string& record = records[static_cast<size_t>(k) % records.size()];
        const size_t codeEnd = record.find(wire::kFieldEnd);
        body.append(record, 0, codeEnd);
        body += std::to_string(k / static_cast<int>(records.size()));
        body.append(record, codeEnd);
    }
    return body;
}

// Instruments as the instrument list (9511) and the account message (9501) carry them.
inline std::string InstrumentRecords(const sim::Market& market, int count) {
    return RepeatWithUniqueCodes(SplitRecords(sim::BuildInstrumentList(market)), count);
}

// One quote section for the first `count` instruments of InstrumentRecords(market, n >= count).
inline std::string QuoteBody(const sim::Market& market, int count, long long stamp) {
    std::vector<size_t> all(market.Instruments().size());
    for (size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    std::string section = sim::BuildQuotes(market, all, stamp);
    section.pop_back();  // the section end; it goes back after the grown records
    return RepeatWithUniqueCodes(SplitRecords(section), count) + wire::kSectionEnd;
}

inline sim::Stamp StampOf(int n) {
    char date[16];
    char time[16];
    std::snprintf(date, sizeof date, "2026%02d%02d", 1 + n % 12, 1 + n % 28);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", n % 24, n % 60, (n * 7) % 60);
    return {date, time};
}

// Position n of a bench account: opened at the market at the instrument's bid, bought on even n
// and sold on odd, numbered by the account.
inline sim::Position MarketPosition(sim::Account& account, const sim::Instrument& instrument, int n,
                                    float lots) {
    sim::Position p;
    p.bargainNo = account.TakeNumber();
    p.merch = instrument.code;
    p.source = "market";
    p.side = n % 2 == 0 ? wire::kBuy : wire::kSell;
    p.lots = lots;
    p.price = instrument.bid;
    p.opened = StampOf(n);
    return p;
}

// An account with `positions` open positions, `orders` pending orders and `closed` closed
// deals spread over the market's instruments.
inline sim::Account TradingAccount(const sim::Market& market, int positions, int orders,
                                   int closed) {
    sim::Account account;
    account.code = "bench";
    account.holder = "Bench Account";
    account.balance = 100000;
    const auto& instruments = market.Instruments();
    auto at = [&](int n) -> const sim::Instrument& {
        return instruments[static_cast<size_t>(n) % instruments.size()];
    };
    for (int n = 0; n < positions; ++n) {
        sim::Position p = MarketPosition(account, at(n), n, 0.1f * static_cast<float>(1 + n % 5));
        p.internalNo = n + 1;
        p.stopLoss = at(n).bid * 0.99;
        p.takeProfit = at(n).bid * 1.01;
        account.positions.push_back(p);
    }
    for (int n = 0; n < orders; ++n) {
        sim::PendingOrder o;
        o.orderNo = account.TakeNumber();
        o.internalNo = positions + n + 1;
        o.merch = at(n).code;
        o.kind = wire::kBuyLimit + n % 4;
        o.lotsHundredths = 10 * (1 + n % 5);
        o.price = at(n).bid * 0.995;
        o.stopLoss = at(n).bid * 0.98;
        o.takeProfit = at(n).bid * 1.02;
        o.placed = StampOf(n);
        account.orders.push_back(o);
    }
    for (int n = 0; n < closed; ++n) {
        sim::ClosedDeal c;
        c.open = MarketPosition(account, at(n), n, 0.5f);
        c.bargainNo = account.TakeNumber();
        c.internalNo = n + 1;
        c.lots = 0.5f;
        c.price = at(n).ask;
        c.profit = (n % 7 - 3) * 12.5;
        c.closed = StampOf(n + 1);
        c.closed.date = "20260115";  // inside the history request's range
        account.history.push_back(c);
    }
    return account;
}

// The account message with `instruments` instruments in its instrument section.
inline std::string AccountBody(const sim::Market& market, const sim::Account& account,
                               int instruments) {
    const std::string built = sim::BuildAccountInfo(account, market);
    // Sections: code, account fields, fund record, instruments, (empty), internal number.
    std::vector<std::string> sections = SplitKeeping(built, wire::kSectionEnd);
    sections.at(3) = InstrumentRecords(market, instruments) + wire::kSectionEnd;
    std::string body;
    for (const std::string& section : sections) {
        body += section;
    }
    return body;
}

// An inbound message as Dispatch receives it (the text before the line end). The length
// field has six digits; a longer message declares 999999, which still reads as complete.
inline std::string Message(int code, std::string_view body) {
    std::string inner = std::to_string(code);
    inner += wire::kHeaderEnd;
    inner.append(body);
    inner += wire::kRecordEnd;
    char header[16];
    std::snprintf(header, sizeof header, "%06d000000",
                  static_cast<int>(std::min<size_t>(inner.size() + 12, 999999)));
    return header + inner;
}

}  // namespace bench
