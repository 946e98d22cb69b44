// Cost of one CountProcessesWithModule scan: Kestrel polls it while it waits for Osprey.exe.
#include <benchmark/benchmark.h>

#include "core/ProcessModules.h"
#include "core/ProgramLocation.h"
#include "core/ToolhelpSnapshot.h"

using namespace kestrel::core;

namespace {

double ProcessCount() {
    return static_cast<double>(
        CToolhelpSnapshot(CToolhelpSnapshot::kProcesses, 0).Processes().size());
}

// Nothing has this file loaded, so every process's files are read: the waiting case once
// Osprey.exe has exited, and the most a scan costs.
void BM_FullScanNoMatch(benchmark::State& state) {
    const std::wstring path = L"/nonexistent/kestrel-bench/Osprey.exe";
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountProcessesWithModule(path));
    }
    state.counters["processes"] = ProcessCount();
}
BENCHMARK(BM_FullScanNoMatch)->Unit(benchmark::kMillisecond);

// Stops at the first process that has the file: here our own program, listed late in /proc
// because its process id is recent.
void BM_StopAtFirstMatch(benchmark::State& state) {
    const std::wstring path = GetProgramPath();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountProcessesWithModule(path, 1));
    }
    state.counters["processes"] = ProcessCount();
}
BENCHMARK(BM_StopAtFirstMatch)->Unit(benchmark::kMillisecond);

void BM_ProcessListOnly(benchmark::State& state) {
    for (auto _ : state) {
        CToolhelpSnapshot snapshot(CToolhelpSnapshot::kProcesses, 0);
        benchmark::DoNotOptimize(snapshot.Processes().data());
    }
    state.counters["processes"] = ProcessCount();
}
BENCHMARK(BM_ProcessListOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
