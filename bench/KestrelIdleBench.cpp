// Kestrel's CPU while it waits: the real binary, console front-end, in a scratch program folder
// whose stand-in Osprey.exe keeps running, watched for 10 s once its first check is past. Its
// waiting is a check re-armed 1 ms after the previous one ends, so the figure is the check's
// cost times the rate at which it repeats; bench_processcount gives a full scan's cost.
//
// The argument is the number of processes on the machine while Kestrel waits: sleeping
// children make up the difference (0 leaves the machine as it is). The stand-in is started
// after them, so a scan in process-id order meets it last.
//
// The waiting stand-in itself wakes every 10 ms to look for its stop file: its CPU is what 100
// wake-ups a second cost on this machine with next to no work, the floor under Kestrel's.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ContextSwitches.h"
#include "TestProcess.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using kestrel::test::CChildOptions;
using kestrel::test::CChildProcess;

// A list that reads fine and would apply nothing: its one source file does not exist.
const char* const kList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root><List UpdateTime=\"2026-01-01 "
    "00:00:00\"><File><Src>Osprey\\new\\absent.txt</Src><Dest>absent.txt</Dest></File>"
    "</List></Root>\n";

int CountProcesses() {
    int count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) {
            ++count;
        }
    }
    return count;
}

// Sleeping children that bring the machine to `total` processes; killed when this ends.
class CProcessPadding {
  public:
    explicit CProcessPadding(int total) {
        std::string program = "/bin/sleep";
        std::string seconds = "600";  // outlives any run
        char* argv[] = {program.data(), seconds.data(), nullptr};
        for (int missing = total - CountProcesses(); missing > 0; --missing) {
            pid_t child = -1;
            if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) == 0) {
                m_children.push_back(child);
            }
        }
    }
    ~CProcessPadding() {
        for (const pid_t child : m_children) {
            kill(child, SIGKILL);
        }
        for (const pid_t child : m_children) {
            waitpid(child, nullptr, 0);
        }
    }
    CProcessPadding(const CProcessPadding&) = delete;
    CProcessPadding& operator=(const CProcessPadding&) = delete;

  private:
    std::vector<pid_t> m_children;
};

double CpuSecondsOf(pid_t pid) {
    clockid_t clock{};
    timespec used{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0) {
        return -1;
    }
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9;
}

long long ContextSwitchesOf(pid_t pid) {
    return ContextSwitchesIn("/proc/" + std::to_string(pid) + "/status");
}

void BM_KestrelWaiting(benchmark::State& state) {
    const CProcessPadding padding(static_cast<int>(state.range(0)));
    const kestrel::test::CScratchFolder scratch;
    const fs::path program = scratch.Path() / "Client";
    fs::create_directories(program / "Osprey");
    fs::copy_file(KESTREL_BINARY, program / "Kestrel");
    fs::copy_file(OSPREY_STANDIN, program / "Osprey.exe");
    kestrel::test::WriteFile(program / "Osprey" / "UpCoverFileList.xml", kList);

    CChildOptions ospreyOptions;
    ospreyOptions.SetEnv["OSPREY_STANDIN_STAY"] = (program / "osprey-stop").string();
    CChildProcess osprey(program / "Osprey.exe", ospreyOptions);
    if (!kestrel::test::WaitForFile(program / "osprey-stop.ready", 10s)) {
        state.SkipWithError("the stand-in Osprey.exe did not start");
        return;
    }
    CChildOptions kestrelOptions;
    kestrelOptions.Arguments = {"bench"};
    kestrelOptions.UnsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "OSPREY_STANDIN_STAY"};
    kestrelOptions.StandardError = scratch.Path() / "kestrel.err";
    CChildProcess kestrel(program / "Kestrel", kestrelOptions);
    std::this_thread::sleep_for(2s);  // past the first check at 1 s: now it polls
    if (!kestrel.IsRunning()) {
        state.SkipWithError("Kestrel is not waiting");
        return;
    }

    const int processes = CountProcesses();
    const auto window = 10s;
    double cpu = 0;
    double floor = 0;
    long long switches = 0;
    double seconds = 0;
    for (auto _ : state) {
        const double cpuBefore = CpuSecondsOf(kestrel.Pid());
        const double floorBefore = CpuSecondsOf(osprey.Pid());
        const long long switchesBefore = ContextSwitchesOf(kestrel.Pid());
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(window);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu = CpuSecondsOf(kestrel.Pid()) - cpuBefore;
        floor = CpuSecondsOf(osprey.Pid()) - floorBefore;
        switches = ContextSwitchesOf(kestrel.Pid()) - switchesBefore;
    }
    // Kestrel first, so that the stopped Osprey.exe does not set it applying and relaunching.
    kestrel.Terminate();
    kestrel::test::WriteFile(program / "osprey-stop", "");
    osprey.WaitExit(10s);

    state.counters["kestrel_cpu_ms"] = cpu * 1000;
    state.counters["kestrel_cpu_%"] = 100 * cpu / seconds;
    state.counters["standin_cpu_%"] = 100 * floor / seconds;
    state.counters["wakeups_per_s"] = static_cast<double>(switches) / seconds;
    state.counters["processes"] = processes;
}
BENCHMARK(BM_KestrelWaiting)
    ->Arg(0)
    ->Arg(300)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
