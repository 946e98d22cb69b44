// A session against the simulator with capture on, then the same session twice more without
// the simulated market: through tradewire-replay, and through tradewire-sim --replay-fast to a
// second client. All three give the same callback lines, in the replay tool's form. And the
// round trip of the console terminal: its session captured, made a script, and run again.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <tradewire/Tradewire.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "CallbackPrinter.h"
#include "FileText.h"
#include "SimulatorThread.h"
#include "common/base/NonCopyable.h"
#include "vocabulary/WireVocabulary.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kUser = "trader";
constexpr const char* kPassword = "Secret-77";

// A connection object whose sink is the replay tool's printer, its lines kept.
class CPrintingClient : NonCopyable {
  public:
    CPrintingClient()
        : m_manager(GetAbsTradewire()), m_printer([this](const std::string& line) {
              std::lock_guard<std::mutex> guard(m_mutex);
              m_lines.push_back(line);
          }) {
        m_manager->SetNotify(&m_printer);
    }
    ~CPrintingClient() {
        m_manager->DisConnect();
        m_manager->UnSetNotify();
        m_manager->ReleaseObj();
    }

    bool Connect(std::uint16_t port) {
        CServer server;
        server.Address = L"127.0.0.1";
        server.Port = port;
        return m_manager->ConnectServer(server);
    }
    CAbsForexManager& Manager() { return *m_manager; }
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_lines;
    }
    // True once a line starting with `start` has been printed `count` times.
    bool WaitFor(const std::string& start, size_t count = 1) {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline) {
            size_t seen = 0;
            for (const std::string& line : Lines()) {
                seen += line.rfind(start, 0) == 0 ? 1 : 0;
            }
            if (seen >= count) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

  private:
    CAbsForexManager* m_manager;
    std::mutex m_mutex;
    std::vector<std::string> m_lines;  // guarded by m_mutex
    CCallbackPrinter m_printer;
};

// An open of one lot of EURUSD with a fixed number: the number taken from the data center
// would change the live one's counter, which a replay does not see.
COrderInfo OpenOrder() {
    COrderInfo order;
    order.AccountCode = L"trader";
    order.MerchCode = L"EURUSD";
    order.InternalNo = 4242;
    order.OrderKind = wire::kOpenMarket;
    order.Value10 = wire::kBuy;
    order.Value11 = 100;
    return order;
}

// A command's standard output as lines; its exit status must be `status`.
std::vector<std::string> RunCommand(const std::string& command, int status = 0) {
    std::vector<std::string> lines;
    FILE* output = popen(command.c_str(), "r");
    if (output == nullptr) {
        return lines;
    }
    std::string line;
    for (int ch = std::fgetc(output); ch != EOF; ch = std::fgetc(output)) {
        if (ch == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(ch);
        }
    }
    const int ended = pclose(output);
    EXPECT_TRUE(WIFEXITED(ended) && WEXITSTATUS(ended) == status) << command;
    return lines;
}

// The replay tool's standard output as lines; its exit status must be `status`.
std::vector<std::string> RunReplayTool(const fs::path& capture, const std::string& options = "",
                                       int status = 0) {
    return RunCommand(std::string(TRADEWIRE_REPLAY_PROGRAM) + " " + options + " '" +
                          capture.string() + "' 2>/dev/null",
                      status);
}

// The console terminal run with a script against `port`, capturing into `folder`: what it
// printed, without the lines that name the port or the capture file, and the capture.
std::vector<std::string> RunTerminal(std::uint16_t port, const fs::path& script,
                                     const fs::path& folder, fs::path& capture) {
    std::vector<std::string> lines =
        RunCommand(std::string(TRADEWIRE_TERM_PROGRAM) + " --port " + std::to_string(port) +
                   " --user " + kUser + " --password " + kPassword + " --no-echo --script '" +
                   script.string() + "' --capture '" + folder.string() + "' 2>&1");
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) {
                                   return line.rfind("Connected to ", 0) == 0 ||
                                          line.rfind("Capturing to ", 0) == 0;
                               }),
                lines.end());
    for (const auto& entry : fs::directory_iterator(folder)) {
        capture = entry.path();
    }
    return lines;
}

// The commands of a script: its lines but the pauses and comments.
std::vector<std::string> Commands(const std::vector<std::string>& script) {
    std::vector<std::string> commands;
    for (const std::string& line : script) {
        if (line.rfind("wait ", 0) != 0 && line.rfind('#', 0) != 0) {
            commands.push_back(line);
        }
    }
    return commands;
}

class CaptureReplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("twcap-tools-" + std::to_string(getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        // Many messages a pass, so the short session is not held up by the 30 ms pace.
        ::setenv("TRADEWIRE_MESSAGES_PER_PASS", "64", 1);
    }
    void TearDown() override {
        ::unsetenv("TRADEWIRE_MESSAGES_PER_PASS");
        ::unsetenv("TRADEWIRE_CAPTURE_DIR");
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    static sim::SimOptions Options() {
        sim::SimOptions options = CSimulatorThread::QuietOptions();
        options.tickRate = 20;
        options.accounts = {{kUser, kPassword, 10000}};
        return options;
    }

    // The live session: login, an order opened, a few quotes. Returns its lines.
    std::vector<std::string> LiveSession(fs::path& capture) {
        CSimulatorThread sim;
        std::string error;
        EXPECT_TRUE(sim.Start(Options(), error)) << error;
        ::setenv("TRADEWIRE_CAPTURE_DIR", m_folder.string().c_str(), 1);
        CPrintingClient client;
        EXPECT_TRUE(client.Connect(sim.Port()));
        ::unsetenv("TRADEWIRE_CAPTURE_DIR");
        EXPECT_TRUE(client.Manager().ReqLogin(L"trader", L"Secret-77"));
        EXPECT_TRUE(client.WaitFor("OnBroadCast"));
        EXPECT_TRUE(client.Manager().CommitBill(OpenOrder()));
        EXPECT_TRUE(client.WaitFor("OnBargainOpened"));
        EXPECT_TRUE(client.WaitFor("OnRealtimePrice", 5));
        client.Manager().DisConnect();
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            capture = entry.path();
        }
        return client.Lines();
    }

    fs::path m_folder;
};

bool StartsWith(const std::string& line, const std::string& start) {
    return line.rfind(start, 0) == 0;
}

// The numbers after each of `steps` in an --orders line, in order; -1 for a step not found.
std::vector<long long> StepTimes(const std::string& line, const std::vector<std::string>& steps) {
    std::vector<long long> times;
    for (const std::string& step : steps) {
        const size_t at = line.find(step + " ");
        times.push_back(at == std::string::npos ? -1 : std::atoll(line.c_str() + at + step.size()));
    }
    return times;
}

TEST_F(CaptureReplayTest, ALiveSessionItsOfflineReplayAndItsSimulatorReplayGiveTheSameCallbacks) {
    fs::path capture;
    const std::vector<std::string> live = LiveSession(capture);
    ASSERT_FALSE(capture.empty()) << "no capture file was written";
    ASSERT_GT(live.size(), 10u);

    // Owner only, and the password nowhere in it.
    EXPECT_EQ(fs::status(capture).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    const std::string text = ReadFileText(capture);
    EXPECT_EQ(text.find(kPassword), std::string::npos);
    EXPECT_NE(text.find("\\x01***\\x01"), std::string::npos);

    EXPECT_EQ(RunReplayTool(capture), live);
    // The stores after the replay hold the opened position, read back through every getter.
    std::vector<std::string> stores = RunReplayTool(capture, "--stores");
    ASSERT_GT(stores.size(), live.size());
    stores.erase(stores.begin(), stores.begin() + static_cast<std::ptrdiff_t>(live.size()));
    const auto has = [&stores](const std::string& line) {
        return std::find(stores.begin(), stores.end(), line) != stores.end();
    };
    EXPECT_EQ(stores.front(), "# stores");
    EXPECT_TRUE(has("GetBargainsInfo n=1"));
    EXPECT_TRUE(has("GetErrorCode code=0"));

    // Cut before its close record: the lines up to the cut, then exit status 3.
    const fs::path cut = m_folder / "cut.twcap";
    // Diagnosis from the file's own times: the order's four steps, in order, and its deal.
    const std::vector<std::string> orders = RunReplayTool(capture, "--orders");
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_TRUE(StartsWith(orders[0], "order 1 InternalNo=4242 OrderKind=60: commit "))
        << orders[0];
    EXPECT_NE(orders[0].find(", deal OnBargainOpened BargainNo="), std::string::npos) << orders[0];
    const std::vector<long long> steps =
        StepTimes(orders[0], {"commit", ", send", ", received", ", dispatched"});
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()) && steps.front() >= 0) << orders[0];
    const std::vector<std::string> summary = RunReplayTool(capture, "--summary");
    const auto hasLine = [](const std::vector<std::string>& lines, const std::string& start) {
        return std::any_of(lines.begin(), lines.end(),
                           [&start](const std::string& line) { return StartsWith(line, start); });
    };
    EXPECT_TRUE(hasLine(summary, "deals opened=1 closed=0"));
    EXPECT_TRUE(hasLine(summary, "orders placed=0 changed=0 deleted=0"));
    EXPECT_TRUE(hasLine(summary, "refusals 0"));
    EXPECT_TRUE(hasLine(summary, "callbacks OnRealtimePrice="));
    EXPECT_TRUE(hasLine(summary, "receive-to-dispatch ms p50="));

    // Filters, brief and UTC forms of the same callbacks.
    std::vector<std::string> quotes;
    std::vector<std::string> noQuotes;
    for (const std::string& line : live) {
        (StartsWith(line, "OnRealtimePrice ") ? quotes : noQuotes).push_back(line);
    }
    EXPECT_EQ(RunReplayTool(capture, "--only OnRealtimePrice"), quotes);
    EXPECT_EQ(RunReplayTool(capture, "--skip OnRealtimePrice,OnSpareA"), noQuotes);
    const std::vector<std::string> brief = RunReplayTool(capture, "--brief --only OnRealtimePrice");
    ASSERT_EQ(brief.size(), quotes.size());
    const auto field = [](const std::string& line, const std::string& name) {
        const size_t at = line.find(" " + name + "=") + name.size() + 2;
        return line.substr(at, line.find(' ', at) - at);
    };
    for (size_t i = 0; i < brief.size(); ++i) {
        EXPECT_EQ(brief[i], "OnRealtimePrice " + field(quotes[i], "MerchCode") + " " +
                                field(quotes[i], "RealtimePrice.Bid") + "/" +
                                field(quotes[i], "RealtimePrice.Ask"));
    }
    const std::vector<std::string> utc = RunReplayTool(capture, "--utc --only OnBargainOpened");
    ASSERT_EQ(utc.size(), 1u);
    EXPECT_TRUE(utc[0].size() > 25 && utc[0][4] == '-' && utc[0][10] == 'T' && utc[0][23] == 'Z' &&
                utc[0].substr(25, 15) == "OnBargainOpened")
        << utc[0];

    // Cut in the middle of the close record: the broken last line is where the file stops.
    std::ofstream(cut, std::ios::binary) << text.substr(0, text.rfind(" close ") + 3);
    const std::vector<std::string> partial = RunReplayTool(cut, "", 3);
    ASSERT_GE(partial.size(), live.size());
    EXPECT_EQ(std::vector<std::string>(partial.begin(),
                                       partial.begin() + static_cast<std::ptrdiff_t>(live.size())),
              live);

    // The simulator serves the capture to a second client, which makes the same order request
    // so that the merges match the replies as they did live. It gets everything captured,
    // including what the live client had not dispatched yet when it disconnected.
    sim::SimOptions options = Options();
    options.replayFile = capture.string();
    options.replayFast = true;
    CSimulatorThread replaySim;
    std::string error;
    ASSERT_TRUE(replaySim.Start(options, error)) << error;
    CPrintingClient second;
    ASSERT_TRUE(second.Connect(replaySim.Port()));
    ASSERT_TRUE(second.Manager().ReqLogin(L"trader", L"anything"));
    ASSERT_TRUE(second.Manager().CommitBill(OpenOrder()));
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (second.Lines().size() < live.size() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    std::vector<std::string> served = second.Lines();
    ASSERT_GE(served.size(), live.size());
    served.resize(live.size());
    EXPECT_EQ(served, live);

    // One capture, one session: a third client is refused at its login, not left waiting.
    CPrintingClient third;
    ASSERT_TRUE(third.Connect(replaySim.Port()));
    ASSERT_TRUE(third.Manager().ReqLogin(L"trader", L"anything"));
    EXPECT_TRUE(third.WaitFor("OnErrorCode code=103"));
}

// A terminal session's capture turned into a script, and the script run by the terminal
// against the simulator replaying that capture: the second session is the first one again,
// callback for callback and line for line of what the terminal printed.
TEST_F(CaptureReplayTest, AScriptFromACaptureReplayedThroughTheSimulatorMakesTheSameSession) {
    const fs::path firstScript = m_folder / "first.script";
    std::ofstream(firstScript) << "buy EURUSD 0.10 sl 1.0000\n"
                                  "wait 0.3\n"
                                  "close last 0.05\n"
                                  "pending buy-limit EURUSD 0.20 1.0000\n"
                                  "delete last\n"
                                  "trigger last 0 1.5\n"
                                  "history 2\n"
                                  "close last\n"
                                  "logout\n";
    fs::path first;
    std::vector<std::string> live;
    {
        CSimulatorThread sim;
        std::string error;
        ASSERT_TRUE(sim.Start(Options(), error)) << error;
        live = RunTerminal(sim.Port(), firstScript, m_folder / "first", first);
    }
    ASSERT_FALSE(first.empty()) << "no capture was written";
    ASSERT_NE(std::find(live.begin(), live.end(), "Logged out."), live.end());

    // The simulator numbers positions and orders from 100001, and serves the same numbers again.
    const std::vector<std::string> script = RunReplayTool(first, "--script");
    EXPECT_EQ(Commands(script),
              (std::vector<std::string>{"buy EURUSD 0.10 sl 1.0000", "close 100001 0.05",
                                        "pending buy-limit EURUSD 0.20 1.0000", "delete 100003",
                                        "trigger 100001 0 1.5000", "history 2", "close 100001",
                                        "logout"}));
    // The captured pause before the partial close, less the answer to the open.
    const auto close = std::find(script.begin(), script.end(), "close 100001 0.05");
    ASSERT_NE(close, script.begin());
    const double pause = std::atof((close - 1)->c_str() + 5);
    EXPECT_TRUE(StartsWith(*(close - 1), "wait ") && pause >= 0.3 && pause < 1.0) << *(close - 1);

    const fs::path secondScript = m_folder / "second.script";
    std::ofstream lines(secondScript);
    for (const std::string& line : script) {
        lines << line << '\n';
    }
    lines.close();
    sim::SimOptions options = Options();
    options.replayFile = first.string();
    CSimulatorThread replaySim;
    std::string error;
    ASSERT_TRUE(replaySim.Start(options, error)) << error;
    fs::path second;
    // What the terminal said of its requests; the quotes it showed after the login depend on
    // when it looked.
    const auto fromFirstOrder = [](std::vector<std::string> lines) {
        const auto opened = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return StartsWith(line, "Opened position #");
        });
        EXPECT_NE(opened, lines.end());
        lines.erase(lines.begin(), opened);
        return lines;
    };
    EXPECT_EQ(
        fromFirstOrder(RunTerminal(replaySim.Port(), secondScript, m_folder / "second", second)),
        fromFirstOrder(live));
    ASSERT_FALSE(second.empty());
    const std::vector<std::string> callbacks = RunReplayTool(first);
    EXPECT_EQ(
        std::count_if(callbacks.begin(), callbacks.end(),
                      [](const std::string& line) { return StartsWith(line, "OnBargainClosed "); }),
        2);
    EXPECT_EQ(RunReplayTool(second), callbacks);
}

// Hostile captures the tool must finish quickly: record times at the top of their range, paced.
TEST(CaptureReplayTool, HostileCapturesEndWithTheirMessages) {
    const fs::path captures = TRADEWIRE_TEST_CAPTURES;
    EXPECT_EQ(RunReplayTool(captures / "late-records.twcap", "--pace"),
              (std::vector<std::string>{
                  "30 OnTextMessage text=Logged\\u0020out:\\u0020demo\\u0001\\u0004",
                  "4294967310 OnTextMessage "
                  "text=Logged\\u0020out:\\u0020demo\\u0001\\u0004"}));
}

}  // namespace
