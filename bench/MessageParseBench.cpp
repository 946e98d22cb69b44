// Reading the inbound lists: bytes per second of Dispatch for the account (9501), instrument
// (9511), bargain (9512), order (9513), history (9514) and quote (9518) messages at a realistic
// and a large size, against the same bytes scanned for their field ends by memchr, which no
// reader that looks at every field can beat. The x_memchr counter says how many times the
// memchr scan's time a message takes to read. Both sides of that ratio are this thread's CPU
// time, measured back to back, so other work on a loaded machine does not tilt it.
//
// The quote rows run with a sink set, as a terminal has one: each stored quote is then copied
// out for OnRealtimePrice, a cost the figures must show.
//
// OneQuote/N stores one quote with N instruments held and a sink set, the code that of the
// list's last instrument: flat in N when the quote finds its instrument by index.

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <tradewire/ForexNotifyAdapter.h>
#include "BenchMessages.h"
#include "protocol/ForexProtocol.h"
#include "vocabulary/WireVocabulary.h"

namespace {

// Listens to nothing: the dispatch cost alone is measured.
class QuietSink final : public CForexNotifyAdapter {};

struct ParseCase {
    std::string name;
    int code = 0;
    int records = 0;      // records of the list (quotes, instruments, deals...)
    std::string message;  // what Dispatch reads
    std::string prefill;  // a message dispatched once before timing (the instruments quotes need)
};

// Fields found the way a reader would find them: one memchr per field end.
size_t ScanFieldEnds(const std::string& text) {
    size_t fields = 0;
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at < end) {
        const void* found = std::memchr(at, wire::kFieldEnd, static_cast<size_t>(end - at));
        if (found == nullptr) {
            break;
        }
        ++fields;
        at = static_cast<const char*>(found) + 1;
    }
    return fields;
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double CpuSecondsPerScan(const std::string& text) {
    // Enough repetitions for about 20 ms of scanning, so the clock's grain does not matter.
    const int repeats = std::max<int>(3, static_cast<int>(400'000'000 / (text.size() * 20 + 1)));
    const double start = ThreadCpuSeconds();
    for (int i = 0; i < repeats; ++i) {
        benchmark::DoNotOptimize(ScanFieldEnds(text));
    }
    return (ThreadCpuSeconds() - start) / repeats;
}

void Throughput(benchmark::State& state, const ParseCase& parseCase) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * parseCase.message.size()));
    state.counters["bytes"] = static_cast<double>(parseCase.message.size());
    state.counters["records"] = parseCase.records;
}

// How many items one of the data center's list getters hands back.
template <typename Item>
INT_PTR CountOf(CForexDataCenter& center, void (CForexDataCenter::*read)(CArray<Item, Item&>&)) {
    CArray<Item, Item&> items;
    (center.*read)(items);
    return items.GetSize();
}

// How many records the data center holds after the message, so that a message the parser
// refused (and that would read fast for that reason) fails the run instead of being timed.
INT_PTR StoredRecords(CForexDataCenter& center, int code) {
    switch (code) {
        case wire::kAccountInfo: {
            CAccountInfo account;
            center.GetAccountInfo(account);
            return account.Merchs.GetSize();
        }
        case wire::kInstrumentList:
            return CountOf(center, &CForexDataCenter::GetForexMerchs);
        case wire::kBargainList:
            return CountOf(center, &CForexDataCenter::GetBargainsInfo);
        case wire::kOrderList:
            return CountOf(center, &CForexDataCenter::GetOrdersInfo);
        case wire::kHistoryList:
            return CountOf(center, &CForexDataCenter::GetHistoryOrderInfo);
        case wire::kQuotes: {
            CArray<CForexMerch, CForexMerch&> merchs;
            center.GetForexMerchs(merchs);
            INT_PTR quoted = 0;
            for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
                quoted += merchs[i].RealtimePrice.QuoteStamp.IsEmpty() ? 0 : 1;
            }
            return quoted;
        }
        default:
            return -1;
    }
}

void BM_Dispatch(benchmark::State& state, const ParseCase& parseCase) {
    CForexProtocol protocol;
    if (!parseCase.prefill.empty()) {
        protocol.Dispatch(parseCase.prefill);
    }
    QuietSink sink;
    if (parseCase.code == wire::kQuotes) {
        protocol.GetDataCenter()->SetNotify(&sink);
    }
    const double start = ThreadCpuSeconds();
    for (auto _ : state) {
        benchmark::DoNotOptimize(protocol.Dispatch(parseCase.message));
    }
    const double perDispatch =
        (ThreadCpuSeconds() - start) / static_cast<double>(state.iterations());
    Throughput(state, parseCase);
    state.counters["x_memchr"] = perDispatch / CpuSecondsPerScan(parseCase.message);
    if (StoredRecords(*protocol.GetDataCenter(), parseCase.code) != parseCase.records) {
        state.SkipWithError("the message was not read whole");
    }
    protocol.GetDataCenter()->UnSetNotify();
}

void BM_MemchrCeiling(benchmark::State& state, const ParseCase& parseCase) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScanFieldEnds(parseCase.message));
    }
    Throughput(state, parseCase);
    state.counters["x_memchr"] = 1;  // the same columns as the dispatch rows: one table
}

void BM_OneQuote(benchmark::State& state, const std::string& instruments) {
    CForexProtocol protocol;
    protocol.Dispatch(instruments);
    CForexDataCenter& center = *protocol.GetDataCenter();
    QuietSink sink;
    center.SetNotify(&sink);
    CArray<CForexMerch, CForexMerch&> merchs;
    center.GetForexMerchs(merchs);
    if (merchs.GetSize() == 0) {
        state.SkipWithError("no instruments");
        return;
    }
    CForexRealtimePrice quote = merchs[merchs.GetSize() - 1].RealtimePrice;
    quote.MerchCode = merchs[merchs.GetSize() - 1].MerchCode;
    quote.QuoteStamp = L"1780000000000000";
    for (auto _ : state) {
        center.OnRealtimePriceUpdate(quote);
    }
    state.counters["instruments"] = static_cast<double>(merchs.GetSize());
    center.UnSetNotify();
}

std::vector<ParseCase> Cases() {
    const sim::Market market(1);
    const long long stamp = 1'780'000'000'000'000LL;
    const sim::Account realistic = bench::TradingAccount(market, 20, 10, 200);
    const sim::Account large = bench::TradingAccount(market, 5000, 2000, 10000);
    const std::string instruments100 =
        bench::Message(wire::kInstrumentList, bench::InstrumentRecords(market, 100));
    const std::string instruments10k =
        bench::Message(wire::kInstrumentList, bench::InstrumentRecords(market, 10000));
    const int from = 20260101;
    const int to = 20261231;
    using bench::Message;
    return {
        {"9501_account/100_instruments", wire::kAccountInfo, 100,
         Message(wire::kAccountInfo, bench::AccountBody(market, realistic, 100)), ""},
        {"9501_account/10000_instruments", wire::kAccountInfo, 10000,
         Message(wire::kAccountInfo, bench::AccountBody(market, realistic, 10000)), ""},
        {"9511_instruments/100", wire::kInstrumentList, 100, instruments100, ""},
        {"9511_instruments/10000", wire::kInstrumentList, 10000, instruments10k, ""},
        {"9512_bargains/20", wire::kBargainList, 20,
         Message(wire::kBargainList, sim::BuildBargainList(realistic, market)), ""},
        {"9512_bargains/5000", wire::kBargainList, 5000,
         Message(wire::kBargainList, sim::BuildBargainList(large, market)), ""},
        {"9513_orders/10", wire::kOrderList, 10,
         Message(wire::kOrderList, sim::BuildOrderList(realistic, market)), ""},
        {"9513_orders/2000", wire::kOrderList, 2000,
         Message(wire::kOrderList, sim::BuildOrderList(large, market)), ""},
        {"9514_history/200", wire::kHistoryList, 200,
         Message(wire::kHistoryList, sim::BuildHistory(realistic, market, from, to)), ""},
        {"9514_history/10000", wire::kHistoryList, 10000,
         Message(wire::kHistoryList, sim::BuildHistory(large, market, from, to)), ""},
        // A tick of the simulator's five instruments, and a burst quoting a thousand at once.
        {"9518_quotes/5", wire::kQuotes, 5,
         Message(wire::kQuotes, bench::QuoteBody(market, 5, stamp)), instruments100},
        {"9518_quotes/1000", wire::kQuotes, 1000,
         Message(wire::kQuotes, bench::QuoteBody(market, 1000, stamp)), instruments10k},
    };
}

}  // namespace

int main(int argc, char** argv) {
    static const std::vector<ParseCase> cases = Cases();
    for (const ParseCase& parseCase : cases) {
        benchmark::RegisterBenchmark(("Dispatch/" + parseCase.name).c_str(), BM_Dispatch, parseCase)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("MemchrCeiling/" + parseCase.name).c_str(), BM_MemchrCeiling,
                                     parseCase)
            ->Unit(benchmark::kMicrosecond);
    }
    static const sim::Market market(1);
    for (const int count : {100, 10000}) {
        benchmark::RegisterBenchmark(
            ("OneQuote/" + std::to_string(count)).c_str(), BM_OneQuote,
            bench::Message(wire::kInstrumentList, bench::InstrumentRecords(market, count)))
            ->Unit(benchmark::kNanosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
