// Copying a store out: GetForexMerchs on a data center holding 100, 1 000 and 10 000
// instruments, the way a terminal refreshes its quote board. Every instrument carries its
// texts, so the copy allocates; the counter gives the cost per instrument.

#include <benchmark/benchmark.h>

#include "BenchMessages.h"
#include "protocol/ForexProtocol.h"

namespace {

// Stores `count` instruments through the dispatcher, as a login would.
void LoadInstruments(CForexProtocol& protocol, int count) {
    const sim::Market market(1);
    protocol.Dispatch(
        bench::Message(wire::kInstrumentList, bench::InstrumentRecords(market, count)));
}

void CountPerInstrument(benchmark::State& state, int count) {
    state.counters["per_instrument"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_GetForexMerchs(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    CForexProtocol protocol;
    LoadInstruments(protocol, count);
    CForexDataCenter& dataCenter = *protocol.GetDataCenter();
    for (auto _ : state) {
        CArray<CForexMerch, CForexMerch&> merchs;
        dataCenter.GetForexMerchs(merchs);
        benchmark::DoNotOptimize(merchs.GetData());
        if (merchs.GetSize() != count) {
            state.SkipWithError("the instrument list was not stored whole");
            break;
        }
    }
    CountPerInstrument(state, count);
}
BENCHMARK(BM_GetForexMerchs)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same copy into an array the caller keeps and reuses between refreshes.
void BM_GetForexMerchsReused(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    CForexProtocol protocol;
    LoadInstruments(protocol, count);
    CForexDataCenter& dataCenter = *protocol.GetDataCenter();
    CArray<CForexMerch, CForexMerch&> merchs;
    for (auto _ : state) {
        dataCenter.GetForexMerchs(merchs);
        benchmark::DoNotOptimize(merchs.GetData());
    }
    CountPerInstrument(state, count);
}
BENCHMARK(BM_GetForexMerchsReused)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
