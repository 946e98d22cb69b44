// The instrument list (9511) at 10 to 10 000 instruments: the whole dispatch into a data center,
// the cursor's cutting and converting alone, and the same cutting done by erasing each item from
// the front of a string, the way a naive reader would. Bytes per second and time per instrument
// show whether reading stays linear in the message size.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/NumberText.h"
#include "platform/TextCodec.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"
#include "vocabulary/WireVocabulary.h"

namespace {

constexpr int kFieldsPerInstrument = 88;

bool IsTextField(int field) {
    return field == 1 || field == 3 || field == 29 || field == 32 || field == 56;
}

std::string InstrumentBody(int count) {
    std::string body;
    char text[32];
    for (int i = 0; i < count; ++i) {
        for (int field = 1; field <= kFieldsPerInstrument; ++field) {
            if (field == 1) {
                std::snprintf(text, sizeof text, "C%06d", i);
            } else if (IsTextField(field)) {
                std::snprintf(text, sizeof text, "name%d", field);
            } else {
                std::snprintf(text, sizeof text, "%d.%04d", field, i % 10000);
            }
            body += text;
            body += wire::kFieldEnd;
        }
        body += wire::kRecordEnd;
    }
    return body;
}

std::string InstrumentMessage(int count) {
    std::string rest =
        std::to_string(wire::kInstrumentList) + wire::kHeaderEnd + InstrumentBody(count);
    char header[16];
    std::snprintf(header, sizeof header, "%06d000000",
                  static_cast<int>((rest.size() + 12) % 1000000));
    // The 6-digit length field cannot hold large frames; a declared length below the real one
    // still reads as complete.
    return header + rest;
}

void Report(benchmark::State& state, size_t bytes, int count) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["per_instrument"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DispatchInstrumentList(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string message = InstrumentMessage(count);
    CForexProtocol protocol;
    for (auto _ : state) {
        benchmark::DoNotOptimize(protocol.Dispatch(message));
    }
    Report(state, message.size(), count);
}

// Reads one instrument's fields in order, the text ones through `readText` and the numbers
// through `readNumber`; returns the sum of the numbers, so that the reading is not optimised
// away.
template <typename ReadText, typename ReadNumber>
double ReadInstrument(ReadText readText, ReadNumber readNumber) {
    double sum = 0;
    for (int field = 1; field <= kFieldsPerInstrument; ++field) {
        if (IsTextField(field)) {
            benchmark::DoNotOptimize(readText());
        } else {
            sum += readNumber();
        }
    }
    return sum;
}

// Times `readBody` over a body of state.range(0) instruments, nothing stored.
template <typename ReadBody>
void TimeReading(benchmark::State& state, ReadBody readBody) {
    const int count = static_cast<int>(state.range(0));
    const std::string body = InstrumentBody(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(readBody(body));
    }
    Report(state, body.size(), count);
}

double ReadWithCursor(const std::string& body) {
    double sum = 0;
    CByteCursor records(body);
    for (CByteCursor record = records.CutCursor(wire::kRecordEnd); !record.IsEmpty();
         record = records.CutCursor(wire::kRecordEnd)) {
        sum += ReadInstrument([&record] { return record.CutText(); },
                              [&record] { return record.CutDouble(); });
    }
    return sum;
}

// The same work with CForexProtocol::CutField, which erases each item from the front.
double ReadByErasing(const std::string& original) {
    double sum = 0;
    std::string body = original;
    for (std::string record = CForexProtocol::CutField(body, wire::kRecordEnd); !record.empty();
         record = CForexProtocol::CutField(body, wire::kRecordEnd)) {
        sum += ReadInstrument(
            [&record] { return AnsiToWide(CForexProtocol::CutField(record, wire::kFieldEnd)); },
            [&record] { return ParseAtof(CForexProtocol::CutField(record, wire::kFieldEnd)); });
    }
    return sum;
}

// Cutting and converting every field with the cursor.
void BM_CursorCut(benchmark::State& state) {
    TimeReading(state, ReadWithCursor);
}

// The same cutting done by erasing from the front, the way a naive reader would.
void BM_NaiveEraseCut(benchmark::State& state) {
    TimeReading(state, ReadByErasing);
}

}  // namespace

BENCHMARK(BM_DispatchInstrumentList)
    ->RangeMultiplier(10)
    ->Range(10, 10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CursorCut)->RangeMultiplier(10)->Range(10, 10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveEraseCut)->RangeMultiplier(10)->Range(10, 10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
