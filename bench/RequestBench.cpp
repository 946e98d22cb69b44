// Building requests: frames per second of CommitBill's frame (text to code-page bytes, fields,
// frame header) for a market order and for a pending order with a long note, and of the bare
// framing step on a body that is already bytes.

#include <benchmark/benchmark.h>

#include <string>

#include "protocol/ForexProtocol.h"
#include "vocabulary/WireVocabulary.h"

namespace {

COrderInfo MarketOrder() {
    COrderInfo order;
    order.AccountCode = L"demo";
    order.MerchCode = L"EURUSD";
    order.InternalNo = 100001;
    order.OrderKind = wire::kOpenMarket;
    order.Value10 = wire::kBuy;
    order.Value11 = 10;
    order.Value14 = 1.0853f;
    return order;
}

COrderInfo PendingOrderWithNote() {
    COrderInfo order = MarketOrder();
    order.OrderKind = wire::kBuyLimit;
    order.Value14 = 1.0790f;
    order.TriggerPrice1 = 1.0700f;
    order.TriggerPrice2 = 1.0900f;
    order.Value28 = L"placed from the desk's order ticket, good till cancelled";
    return order;
}

void Frames(benchmark::State& state, size_t frameBytes) {
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frameBytes));
}

void BM_CommitBillFrame(benchmark::State& state, const COrderInfo& order) {
    CForexProtocol protocol;
    size_t bytes = 0;
    for (auto _ : state) {
        std::string frame = protocol.BuildCommitBill(order);
        bytes = frame.size();
        benchmark::DoNotOptimize(frame);
    }
    Frames(state, bytes);
}
BENCHMARK_CAPTURE(BM_CommitBillFrame, market_order, MarketOrder());
BENCHMARK_CAPTURE(BM_CommitBillFrame, pending_with_note, PendingOrderWithNote());

void BM_PackMessage(benchmark::State& state) {
    CForexProtocol protocol;
    const std::string body = protocol.BuildCommitBill(MarketOrder()).substr(17);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string frame = CForexProtocol::PackMessage(wire::kOrderRequest, body);
        bytes = frame.size();
        benchmark::DoNotOptimize(frame);
    }
    Frames(state, bytes);
}
BENCHMARK(BM_PackMessage);

}  // namespace

BENCHMARK_MAIN();
