// One process scan against the number of processes, with 0, 100, 200 and 400 extra idle
// processes (sleep, started by this benchmark) and, started last so that it has the highest
// process id, a stand-in Osprey.exe (a copy of sleep under that name in a scratch folder).
//
//   FullScan      nothing has the looked-for file loaded, so every process's files are read:
//                 the one scan Kestrel makes after Osprey.exe has exited, and the most a scan
//                 costs. per_process is the slope a busier machine would see.
//   WaitingCheck  "is Osprey.exe still running?" asked afresh: a scan that stops at the first
//                 process running it; the stand-in is the last process listed.
//   RememberedCheck  the same question with the stand-in remembered from the previous check:
//                 the check Kestrel repeats every 10 ms while it waits.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/ProcessModules.h"
#include "core/ToolhelpSnapshot.h"

using namespace kestrel::core;

extern char** environ;

namespace {

namespace fs = std::filesystem;

pid_t Spawn(const std::string& program) {
    std::string name = program;
    std::string seconds = "600";  // outlives any run; killed when the benchmark ends
    char* argv[] = {name.data(), seconds.data(), nullptr};
    pid_t child = -1;
    return posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) == 0 ? child : -1;
}

// Idle processes and a stand-in Osprey.exe that live until this object ends.
class ProcessSet {
  public:
    explicit ProcessSet(int idle) {
        m_folder = fs::temp_directory_path() / ("tw-bench-processes-" + std::to_string(getpid()));
        fs::create_directories(m_folder);
        fs::copy_file("/bin/sleep", OspreyPath(), fs::copy_options::overwrite_existing);
        for (int i = 0; i < idle; ++i) {
            Keep(Spawn("/bin/sleep"));
        }
        Keep(Spawn(OspreyPath().string()));
    }
    ~ProcessSet() {
        for (const pid_t child : m_children) {
            kill(child, SIGKILL);
        }
        for (const pid_t child : m_children) {
            waitpid(child, nullptr, 0);
        }
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    ProcessSet(const ProcessSet&) = delete;
    ProcessSet& operator=(const ProcessSet&) = delete;

    fs::path OspreyPath() const { return m_folder / "Osprey.exe"; }

  private:
    void Keep(pid_t child) {
        if (child > 0) {
            m_children.push_back(child);
        }
    }

    fs::path m_folder;
    std::vector<pid_t> m_children;
};

void Report(benchmark::State& state) {
    const double processes =
        static_cast<double>(CToolhelpSnapshot(CToolhelpSnapshot::kProcesses, 0).Processes().size());
    state.counters["processes"] = processes;
    state.counters["per_process"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * processes,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FullScan(benchmark::State& state) {
    const ProcessSet processes(static_cast<int>(state.range(0)));
    const std::wstring path = L"/nonexistent/kestrel-bench/Osprey.exe";
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountProcessesWithModule(path));
    }
    Report(state);
}
BENCHMARK(BM_FullScan)->Arg(0)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_WaitingCheck(benchmark::State& state) {
    const ProcessSet processes(static_cast<int>(state.range(0)));
    const std::wstring path = processes.OspreyPath().wstring();
    for (auto _ : state) {
        if (CountProcessesWithModule(path, 1) != 1) {
            state.SkipWithError("the stand-in Osprey.exe was not found");
            break;
        }
    }
    Report(state);
}
BENCHMARK(BM_WaitingCheck)->Arg(0)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_RememberedCheck(benchmark::State& state) {
    const ProcessSet processes(static_cast<int>(state.range(0)));
    const std::wstring path = processes.OspreyPath().wstring();
    int holder = 0;
    for (auto _ : state) {
        if (CountProcessesWithModule(path, 1, holder) != 1) {
            state.SkipWithError("the stand-in Osprey.exe was not found");
            break;
        }
    }
    Report(state);
}
BENCHMARK(BM_RememberedCheck)->Arg(0)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
