// One process scan against the number of processes: the scan Kestrel repeats while it waits
// for Osprey.exe, with 0, 100, 200 and 400 extra idle processes (children of this benchmark
// that only sleep). Nothing has the looked-for file loaded, so every process is read: the
// most one scan costs. The per_process counter is the slope a bigger machine would see.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "core/ProcessModules.h"
#include "core/ToolhelpSnapshot.h"

namespace {

// Idle children that live until this object ends.
class IdleProcesses {
  public:
    explicit IdleProcesses(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t child = fork();
            if (child == 0) {
                pause();
                _exit(0);
            }
            if (child > 0) {
                m_children.push_back(child);
            }
        }
    }
    ~IdleProcesses() {
        for (const pid_t child : m_children) {
            kill(child, SIGKILL);
        }
        for (const pid_t child : m_children) {
            waitpid(child, nullptr, 0);
        }
    }
    IdleProcesses(const IdleProcesses&) = delete;
    IdleProcesses& operator=(const IdleProcesses&) = delete;

  private:
    std::vector<pid_t> m_children;
};

void BM_ScanAgainstProcessCount(benchmark::State& state) {
    const IdleProcesses extra(static_cast<int>(state.range(0)));
    const std::wstring path = L"/nonexistent/kestrel-bench/Osprey.exe";
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountProcessesWithModule(path));
    }
    const double processes =
        static_cast<double>(CToolhelpSnapshot(CToolhelpSnapshot::kProcesses, 0).Processes().size());
    state.counters["processes"] = processes;
    state.counters["per_process"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * processes,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScanAgainstProcessCount)
    ->Arg(0)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
