// A whole session over TLS on loopback: the shared library, loaded as a terminal loads it,
// against the simulator running on a thread of this process (127.0.0.1 only).
//
//   QuoteLatency    quotes at 20 messages a second, below the processing pace: time from the
//                   simulator stamping a quote to OnRealtimePrice (median, 99th percentile).
//   SustainedRate   quotes at 200 messages a second, far above the pace: how many messages the
//                   library processes a second, and how busy its processing thread is while it
//                   does. A thread that is busy a few per cent of the time is not what bounds
//                   the rate; the 30 ms sleep between messages is.
//   IdleConnection  a logged-in connection that hears nothing for 10 s: the CPU of the
//                   library's three threads and how often they wake.
//   LoginSnapshot   an instrument list of 100, 1 000 or 10 000 instruments (about 230 bytes
//                   each) in answer to the login: time from the request to OnForexMerchs.
//   FastPaceFeed    1 000 one-quote messages a second with TRADEWIRE_MESSAGES_PER_PASS=64 for
//                   10 s: latency from send to OnRealtimePrice, the backlog at the end and
//                   the CPU of the library's threads (TRADEWIRE_CAPTURE_DIR set: capture's too).
//   PaceFeed        one-quote messages at 20 or 1 000 a second for 10 s from the scripted
//                   server: latency from send to OnRealtimePrice and the backlog at the end.
//   OrderRoundTrip  50 market orders, one at a time, against the simulator: time from
//                   CommitBill to the OnBargainsInfo that lists the order's deal.
//   IdleObjects     200 connected objects that hear nothing for 10 s: the CPU of the whole
//                   process but the simulator's thread, and the resident memory they added.
//
// The last argument of QuoteLatency, IdleConnection, PaceFeed, OrderRoundTrip and IdleObjects
// is the pace: 0 the paced default, 1 TRADEWIRE_PACE=immediate.
// Each runs once (Iterations(1)); the wall time shown is the whole measuring window.

#include <benchmark/benchmark.h>
#include <pthread.h>
#include <time.h>
#include <tradewire/Tradewire.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <tradewire/ForexNotifyAdapter.h>
#include "ContextSwitches.h"
#include "ScriptedServer.h"
#include "SimServer.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

long long WallMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double CpuSeconds(clockid_t clock) {
    timespec now{};
    if (clock_gettime(clock, &now) != 0) {
        return 0;
    }
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The CPU clock of any thread of this process, by its kernel thread id (the encoding
// pthread_getcpuclockid uses), so threads the library started can be measured too.
clockid_t ThreadClock(pid_t tid) {
    return static_cast<clockid_t>((~static_cast<clockid_t>(tid) << 3) | 6);
}

std::vector<pid_t> ThreadIds() {
    std::vector<pid_t> ids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        ids.push_back(static_cast<pid_t>(std::atoi(entry.path().filename().c_str())));
    }
    return ids;
}

long long ContextSwitches(pid_t tid) {
    return ContextSwitchesIn("/proc/self/task/" + std::to_string(tid) + "/status");
}

// CPU seconds and context switches of a set of threads.
struct ThreadUse {
    double cpu = 0;
    long long switches = 0;
};

ThreadUse UseOf(const std::vector<pid_t>& threads) {
    ThreadUse use;
    for (const pid_t tid : threads) {
        use.cpu += CpuSeconds(ThreadClock(tid));
        use.switches += ContextSwitches(tid);
    }
    return use;
}

// TRADEWIRE_PACE as a benchmark's pace argument asks, for one ConnectServer.
class PaceSetting {
  public:
    explicit PaceSetting(std::int64_t immediate) {
        if (immediate != 0) {
            ::setenv("TRADEWIRE_PACE", "immediate", 1);
        }
    }
    ~PaceSetting() { ::unsetenv("TRADEWIRE_PACE"); }
    PaceSetting(const PaceSetting&) = delete;
    PaceSetting& operator=(const PaceSetting&) = delete;
};

// Resident memory of this process in kB, from /proc.
long long ResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atoll(line.c_str() + 6);
        }
    }
    return 0;
}

class BenchSink final : public CForexNotifyAdapter {
  public:
    void OnErrorCode(int code) override {
        Mark([&] { m_error = code; });
    }
    void OnLoginReply() override {
        Mark([&] { m_processingThread = gettid(); });
    }
    void OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) override {
        Mark([&] {
            m_bargainsSeen = true;
            for (int i = 0; i < bargains.GetSize(); ++i) {
                if (bargains[i].InternalNo == m_awaitedDeal) {
                    m_awaitedDeal = -1;
                }
            }
        });
    }
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) override {
        Mark([&] {
            m_merchsSeen = static_cast<size_t>(merchs.GetSize());
            m_merchsTime = Clock::now();
        });
    }
    void OnRealtimePrice(const CForexMerch& merch) override {
        const long long now = WallMicros();
        const long long stamp =
            std::wcstoll(merch.RealtimePrice.QuoteStamp.GetString(), nullptr, 10);
        std::lock_guard<std::mutex> guard(m_lock);
        // One message quotes several instruments with one stamp: a new stamp is a new message.
        if (stamp != m_lastStamp) {
            m_lastStamp = stamp;
            m_latencies.push_back(now - stamp);
            m_messageTimes.push_back(Clock::now());
        }
        m_changed.notify_all();
    }
    void OnSocketError(unsigned long error) override {
        Mark([&] { m_error = static_cast<int>(error); });
    }

    bool WaitLoggedIn(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, limit, [&] { return m_bargainsSeen || m_error != 0; }) &&
               m_error == 0;
    }
    // Forgets what was measured so far and waits for `messages` quote messages.
    void Restart() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_latencies.clear();
        m_messageTimes.clear();
    }
    bool WaitMessages(size_t messages, std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, limit, [&] { return m_latencies.size() >= messages; });
    }
    std::vector<long long> Latencies() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_latencies;
    }
    size_t Messages() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_messageTimes.size();
    }
    // When an instrument list of `count` instruments arrived, if it did within `limit`.
    bool WaitMerchs(size_t count, std::chrono::milliseconds limit, Clock::time_point& arrived) {
        std::unique_lock<std::mutex> lock(m_lock);
        if (!m_changed.wait_for(lock, limit, [&] { return m_merchsSeen == count; })) {
            return false;
        }
        arrived = m_merchsTime;
        return true;
    }
    // Awaits the deal of the order with `internalNo`; the next WaitDeal waits for it.
    void AwaitDeal(int internalNo) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_awaitedDeal = internalNo;
    }
    bool WaitDeal(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, limit, [&] { return m_awaitedDeal < 0; });
    }
    pid_t ProcessingThread() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_processingThread;
    }

  private:
    template <typename Change>
    void Mark(Change change) {
        std::lock_guard<std::mutex> guard(m_lock);
        change();
        m_changed.notify_all();
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_error = 0;
    bool m_bargainsSeen = false;
    size_t m_merchsSeen = 0;
    Clock::time_point m_merchsTime;
    pid_t m_processingThread = 0;
    int m_awaitedDeal = -1;
    long long m_lastStamp = -1;
    std::vector<long long> m_latencies;
    std::vector<Clock::time_point> m_messageTimes;
};

// Ends a connection object the way a terminal must: its threads first, then the sink, then the
// object. Nothing when there is none.
void EndConnection(CAbsForexManager* manager) {
    if (manager == nullptr) {
        return;
    }
    manager->DisConnect();
    manager->UnSetNotify();
    manager->ReleaseObj();
}

// The simulator on its own thread and one logged-in library connection to it.
class Session {
  public:
    explicit Session(double tickRate, std::int64_t immediate = 0) {
        sim::SimOptions options;
        options.tickRate = tickRate;
        options.noticeSeconds = 0;
        options.quiet = true;
        options.accounts = sim::DefaultAccounts();
        m_server = std::make_unique<sim::SimServer>(options);
        if (!m_server->Start(m_error)) {
            return;
        }
        m_loop = std::thread([this] { m_server->Run(); });
        m_manager = GetAbsTradewire();
        if (m_manager == nullptr) {
            m_error = "no connection object";
            return;
        }
        m_manager->SetNotify(&m_sink);
        CServer server;
        server.Address = L"127.0.0.1";
        server.Port = m_server->Port();
        const PaceSetting pace(immediate);
        if (!m_manager->ConnectServer(server)) {
            m_error = "could not connect to the simulator";
            return;
        }
        if (!m_manager->ReqLogin(L"demo", L"demo") || !m_sink.WaitLoggedIn(10s)) {
            m_error = "no login";
        }
    }
    ~Session() {
        EndConnection(m_manager);
        if (m_loop.joinable()) {
            m_server->Stop();
            m_loop.join();
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool Failed(benchmark::State& state) {
        if (m_error.empty()) {
            return false;
        }
        state.SkipWithError(m_error.c_str());
        return true;
    }
    BenchSink& Sink() { return m_sink; }
    CAbsForexManager& Manager() { return *m_manager; }
    double SimulatorCpu() {
        clockid_t clock{};
        return pthread_getcpuclockid(m_loop.native_handle(), &clock) == 0 ? CpuSeconds(clock) : 0;
    }
    // The library's threads: every thread of this process but this one and the simulator's.
    std::vector<pid_t> LibraryThreads() {
        clockid_t simClock{};
        pthread_getcpuclockid(m_loop.native_handle(), &simClock);
        std::vector<pid_t> threads;
        for (const pid_t tid : ThreadIds()) {
            if (tid != gettid() && ThreadClock(tid) != simClock) {
                threads.push_back(tid);
            }
        }
        return threads;
    }

  private:
    BenchSink m_sink;
    std::unique_ptr<sim::SimServer> m_server;
    std::thread m_loop;
    CAbsForexManager* m_manager = nullptr;
    std::string m_error;
};

double Percentile(std::vector<long long> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t index = std::min(
        values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    return static_cast<double>(values[index]);
}

// Median, 99th percentile and worst of microsecond samples, as the counters show them (ms).
void ReportMilliseconds(benchmark::State& state, const std::vector<long long>& micros) {
    state.counters["median_ms"] = Percentile(micros, 0.5) / 1000;
    state.counters["p99_ms"] = Percentile(micros, 0.99) / 1000;
    state.counters["max_ms"] = Percentile(micros, 1.0) / 1000;
}

// Every run here is one timed pass of a whole session, far longer than a clock tick and spent
// mostly waiting on the network: one iteration, in milliseconds of wall-clock time.
void OnceInRealMilliseconds(benchmark::internal::Benchmark* run) {
    run->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}

void BM_QuoteLatency(benchmark::State& state) {
    const size_t messages = 200;
    Session session(20, state.range(0));
    if (session.Failed(state)) {
        return;
    }
    // The login's messages and the quotes that queued behind them drain first; their waiting
    // is the login burst's, not a quote's.
    std::this_thread::sleep_for(2s);
    for (auto _ : state) {
        session.Sink().Restart();
        if (!session.Sink().WaitMessages(messages, 30s)) {
            state.SkipWithError("quotes stopped arriving");
            return;
        }
    }
    const std::vector<long long> latencies = session.Sink().Latencies();
    state.counters["messages"] = static_cast<double>(latencies.size());
    ReportMilliseconds(state, latencies);
}
BENCHMARK(BM_QuoteLatency)->Arg(0)->Arg(1)->Apply(OnceInRealMilliseconds);

void BM_SustainedRate(benchmark::State& state) {
    const auto window = 10s;
    Session session(200);
    if (session.Failed(state)) {
        return;
    }
    std::this_thread::sleep_for(1s);  // let the backlog build, so the window sees only the pace
    const pid_t processing = session.Sink().ProcessingThread();
    const std::vector<pid_t> library = session.LibraryThreads();
    double processingCpu = 0;
    double libraryCpu = 0;
    size_t processed = 0;
    double seconds = 0;
    for (auto _ : state) {
        session.Sink().Restart();
        const double processingBefore = CpuSeconds(ThreadClock(processing));
        const ThreadUse before = UseOf(library);
        const auto start = Clock::now();
        std::this_thread::sleep_for(window);
        processed = session.Sink().Messages();
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        processingCpu = CpuSeconds(ThreadClock(processing)) - processingBefore;
        libraryCpu = UseOf(library).cpu - before.cpu;
    }
    state.counters["messages_per_s"] = static_cast<double>(processed) / seconds;
    state.counters["pace_limit_per_s"] = 1000.0 / 30;
    state.counters["processing_cpu_%"] = 100 * processingCpu / seconds;
    state.counters["library_cpu_%"] = 100 * libraryCpu / seconds;
}
BENCHMARK(BM_SustainedRate)->Apply(OnceInRealMilliseconds);

void BM_IdleConnection(benchmark::State& state) {
    const auto window = 10s;
    Session session(1e-6, state.range(0));  // one quote in eleven days: none while we watch
    if (session.Failed(state)) {
        return;
    }
    std::this_thread::sleep_for(500ms);  // the login's messages are processed by now
    const std::vector<pid_t> library = session.LibraryThreads();
    ThreadUse used;
    double simulator = 0;
    double seconds = 0;
    for (auto _ : state) {
        const ThreadUse before = UseOf(library);
        const double simBefore = session.SimulatorCpu();
        const auto start = Clock::now();
        std::this_thread::sleep_for(window);
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const ThreadUse after = UseOf(library);
        used.cpu = after.cpu - before.cpu;
        used.switches = after.switches - before.switches;
        simulator = session.SimulatorCpu() - simBefore;
    }
    state.counters["threads"] = static_cast<double>(library.size());
    state.counters["library_cpu_ms"] = used.cpu * 1000;
    state.counters["library_cpu_%"] = 100 * used.cpu / seconds;
    state.counters["wakeups_per_s"] = static_cast<double>(used.switches) / seconds;
    state.counters["simulator_cpu_ms"] = simulator * 1000;
}
BENCHMARK(BM_IdleConnection)->Arg(0)->Arg(1)->Apply(OnceInRealMilliseconds);

// The library connected to a ScriptedServer, with the pace the environment asks for; the
// login request is left to the benchmark, which times what it sets off.
class ScriptedSession {
  public:
    ScriptedSession(int instruments, double quotesPerSecond, const char* messagesPerPass,
                    std::int64_t immediate = 0)
        : m_server(instruments, quotesPerSecond) {
        if (!m_server.Start(m_error)) {
            return;
        }
        m_manager = GetAbsTradewire();
        if (m_manager == nullptr) {
            m_error = "no connection object";
            return;
        }
        m_manager->SetNotify(&m_sink);
        m_threadsBefore = ThreadIds();
        ::setenv("TRADEWIRE_MESSAGES_PER_PASS", messagesPerPass, 1);
        CServer server;
        server.Address = L"127.0.0.1";
        server.Port = m_server.Port();
        const PaceSetting pace(immediate);
        const bool connected = m_manager->ConnectServer(server);
        ::unsetenv("TRADEWIRE_MESSAGES_PER_PASS");
        if (!connected) {
            m_error = "could not connect to the scripted server";
        }
    }
    ~ScriptedSession() { EndConnection(m_manager); }
    ScriptedSession(const ScriptedSession&) = delete;
    ScriptedSession& operator=(const ScriptedSession&) = delete;

    // The threads ConnectServer started (a capture's writer among them when one is on).
    std::vector<pid_t> LibraryThreads() const {
        std::vector<pid_t> threads;
        for (const pid_t tid : ThreadIds()) {
            if (std::find(m_threadsBefore.begin(), m_threadsBefore.end(), tid) ==
                m_threadsBefore.end()) {
                threads.push_back(tid);
            }
        }
        return threads;
    }

    bool Failed(benchmark::State& state) {
        if (m_error.empty()) {
            return false;
        }
        state.SkipWithError(m_error.c_str());
        return true;
    }
    bool Login() { return m_manager->ReqLogin(L"demo", L"demo"); }
    BenchSink& Sink() { return m_sink; }
    ScriptedServer& Server() { return m_server; }

  private:
    BenchSink m_sink;
    ScriptedServer m_server;
    CAbsForexManager* m_manager = nullptr;
    std::string m_error;
    std::vector<pid_t> m_threadsBefore;
};

void BM_LoginSnapshot(benchmark::State& state) {
    const auto instruments = static_cast<int>(state.range(0));
    ScriptedSession session(instruments, 0, "1");
    if (session.Failed(state)) {
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        Clock::time_point arrived;
        if (!session.Login() ||
            !session.Sink().WaitMerchs(static_cast<size_t>(instruments), 120s, arrived)) {
            state.SkipWithError("the instrument list did not arrive");
            return;
        }
        seconds = std::chrono::duration<double>(arrived - start).count();
    }
    state.counters["list_bytes"] = static_cast<double>(session.Server().ListBytes());
    state.counters["to_OnForexMerchs_ms"] = seconds * 1000;
}
BENCHMARK(BM_LoginSnapshot)->Arg(100)->Arg(1000)->Arg(10000)->Apply(OnceInRealMilliseconds);

// Logs in and waits for the instrument list, then for the first passes after it; false, with
// the run marked failed, when the session or the list did not come.
bool ReadyForFeed(ScriptedSession& session, int instruments, benchmark::State& state) {
    if (session.Failed(state)) {
        return false;
    }
    Clock::time_point arrived;
    if (!session.Login() ||
        !session.Sink().WaitMerchs(static_cast<size_t>(instruments), 10s, arrived)) {
        state.SkipWithError("the instrument list did not arrive");
        return false;
    }
    std::this_thread::sleep_for(1s);
    return true;
}

void BM_FastPaceFeed(benchmark::State& state) {
    const auto window = 10s;
    const int instruments = 100;
    ScriptedSession session(instruments, 1000, "64");
    if (!ReadyForFeed(session, instruments, state)) {
        return;
    }
    // Sent in the window less processed in it: a pace that keeps up leaves only the few in
    // flight at its end, one that does not leaves a share of all that were sent.
    double backlog = 0;
    double libraryCpu = 0;
    double seconds = 0;
    const std::vector<pid_t> library = session.LibraryThreads();
    for (auto _ : state) {
        session.Sink().Restart();
        const size_t sentBefore = session.Server().QuotesSent();
        const ThreadUse before = UseOf(library);
        const auto start = Clock::now();
        std::this_thread::sleep_for(window);
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        libraryCpu = UseOf(library).cpu - before.cpu;
        const double sent = static_cast<double>(session.Server().QuotesSent() - sentBefore);
        backlog = sent - static_cast<double>(session.Sink().Messages());
    }
    state.counters["library_cpu_%"] = 100 * libraryCpu / seconds;
    const std::vector<long long> latencies = session.Sink().Latencies();
    state.counters["messages"] = static_cast<double>(latencies.size());
    state.counters["backlog"] = backlog;
    ReportMilliseconds(state, latencies);
}
BENCHMARK(BM_FastPaceFeed)->Apply(OnceInRealMilliseconds);

void BM_PaceFeed(benchmark::State& state) {
    const auto window = 10s;
    const int instruments = 100;
    ScriptedSession session(instruments, static_cast<double>(state.range(0)), "1", state.range(1));
    if (!ReadyForFeed(session, instruments, state)) {
        return;
    }
    double backlog = 0;
    for (auto _ : state) {
        session.Sink().Restart();
        const size_t sentBefore = session.Server().QuotesSent();
        std::this_thread::sleep_for(window);
        const double sent = static_cast<double>(session.Server().QuotesSent() - sentBefore);
        backlog = sent - static_cast<double>(session.Sink().Messages());
    }
    const std::vector<long long> latencies = session.Sink().Latencies();
    state.counters["messages"] = static_cast<double>(latencies.size());
    state.counters["backlog"] = backlog;
    ReportMilliseconds(state, latencies);
}
BENCHMARK(BM_PaceFeed)
    ->Args({20, 0})
    ->Args({20, 1})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Apply(OnceInRealMilliseconds);

void BM_OrderRoundTrip(benchmark::State& state) {
    const int orders = 50;
    Session session(1, state.range(0));
    if (session.Failed(state)) {
        return;
    }
    std::this_thread::sleep_for(2s);  // the login's messages are processed by now
    CForexDataCenter& center = *session.Manager().GetDataCenter();
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    CAccountInfo account;
    center.GetAccountInfo(account);
    if (merchs.GetSize() == 0) {
        state.SkipWithError("no instruments");
        return;
    }
    std::vector<long long> trips;
    for (auto _ : state) {
        for (int i = 0; i < orders; ++i) {
            COrderInfo order;
            order.AccountCode = account.AccountCode;
            order.MerchCode = merchs[0].MerchCode;
            order.OrderKind = 60;  // at the market
            order.Value10 = 40;    // buy
            order.Value11 = 1;     // 0.01 lots
            order.InternalNo = center.GetInternalNo();
            session.Sink().AwaitDeal(order.InternalNo);
            const auto start = Clock::now();
            if (!session.Manager().CommitBill(order) || !session.Sink().WaitDeal(10s)) {
                state.SkipWithError("no deal for the order");
                return;
            }
            trips.push_back(
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start)
                    .count());
        }
    }
    state.counters["orders"] = static_cast<double>(trips.size());
    ReportMilliseconds(state, trips);
}
BENCHMARK(BM_OrderRoundTrip)->Arg(0)->Arg(1)->Apply(OnceInRealMilliseconds);

void BM_IdleObjects(benchmark::State& state) {
    const int objects = 200;
    const auto window = 10s;
    sim::SimOptions options;
    options.tickRate = 1e-6;
    options.noticeSeconds = 0;
    options.quiet = true;
    options.accounts = sim::DefaultAccounts();
    sim::SimServer simulator(options);
    std::string error;
    if (!simulator.Start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::thread loop([&] { simulator.Run(); });
    const long long residentBefore = ResidentKb();
    std::vector<CAbsForexManager*> managers;
    bool connected = true;
    {
        const PaceSetting pace(state.range(0));
        CServer server;
        server.Address = L"127.0.0.1";
        server.Port = simulator.Port();
        for (int i = 0; i < objects && connected; ++i) {
            CAbsForexManager* manager = GetAbsTradewire();
            managers.push_back(manager);
            connected = manager != nullptr && manager->ConnectServer(server);
        }
    }
    clockid_t simClock{};
    pthread_getcpuclockid(loop.native_handle(), &simClock);
    std::this_thread::sleep_for(1s);
    double cpu = 0;
    double seconds = 0;
    for (auto _ : state) {
        if (!connected) {
            state.SkipWithError("could not connect them all");
            break;
        }
        const double before = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - CpuSeconds(simClock);
        const auto start = Clock::now();
        std::this_thread::sleep_for(window);
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - CpuSeconds(simClock) - before;
    }
    const long long resident = ResidentKb() - residentBefore;
    for (CAbsForexManager* manager : managers) {
        if (manager != nullptr) {
            manager->DisConnect();
            manager->ReleaseObj();
        }
    }
    simulator.Stop();
    loop.join();
    state.counters["objects"] = static_cast<double>(managers.size());
    state.counters["cpu_%_of_a_core"] = seconds > 0 ? 100 * cpu / seconds : 0;
    state.counters["added_rss_MB"] = static_cast<double>(resident) / 1024;
}
BENCHMARK(BM_IdleObjects)->Arg(0)->Arg(1)->Apply(OnceInRealMilliseconds);

}  // namespace

BENCHMARK_MAIN();
