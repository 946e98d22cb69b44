#include "SimServer.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "MessageBuilders.h"
#include "RequestParser.h"
#include "vocabulary/WireVocabulary.h"

namespace sim {

namespace {

constexpr int kMaxPollMs = 50;
constexpr size_t kMaxPendingRequestBytes = 64 * 1024;

const char* const kNotices[] = {
    "Markets are open. Spreads are at their usual levels.",
    "Reminder: pending orders stay on the book until filled or deleted.",
    "Liquidity is thinner around the top of the hour.",
};

long long WallMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SimServer::SimServer(SimOptions options)
    : m_options(std::move(options)),
      m_market(m_options.seed),
      m_desk(
          m_market, [this] { return Now(); }, kBaseRateSwitch) {
    for (const AccountSetup& setup : m_options.accounts) {
        std::string holder = setup.user;
        if (!holder.empty()) {
            holder[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(holder[0])));
        }
        m_accounts.Add(setup.user, setup.password, holder + " (simulated)", setup.balance);
    }
}

bool SimServer::Start(std::string& error) {
    if (!m_options.frameLog.empty() && !m_log.Open(m_options.frameLog)) {
        error = "cannot write the frame log " + m_options.frameLog;
        return false;
    }
    if (!m_options.replayFile.empty() &&
        !m_replay.Load(m_options.replayFile, m_options.replayFast, error)) {
        return false;
    }
    TlsServerConfig config;
    config.port = m_options.port;
    config.certFile = m_options.certFile;
    config.keyFile = m_options.keyFile;
    return m_tls.Start(config, error);
}

void SimServer::Run() {
    // A client that vanishes must not end the simulator through SIGPIPE.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    if (m_replay.IsLoaded()) {
        RunReplay();
        return;
    }

    const auto tickEvery = std::chrono::duration_cast<SteadyClock::duration>(
        std::chrono::duration<double>(1.0 / m_options.tickRate));
    const auto noticeEvery = std::chrono::duration_cast<SteadyClock::duration>(
        std::chrono::duration<double>(m_options.noticeSeconds));
    auto nextTick = SteadyClock::now() + tickEvery;
    auto nextNotice = SteadyClock::now() + noticeEvery;

    while (!m_stop) {
        const auto now = SteadyClock::now();
        if (now >= nextTick) {
            Tick();
            nextTick += tickEvery;
            if (nextTick < now) {
                nextTick = now + tickEvery;  // fell behind: do not burst to catch up
            }
        }
        if (m_options.noticeSeconds > 0 && now >= nextNotice) {
            Notice();
            nextNotice = now + noticeEvery;
        }
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - SteadyClock::now())
                .count();
        m_tls.Poll(static_cast<int>(std::clamp<long long>(wait, 0, kMaxPollMs)), *this);
    }
}

void SimServer::OnOpened(int session) {
    m_sessions[session] = SessionState{};
    Say("client #" + std::to_string(session) + " connected");
}

void SimServer::OnClosed(int session) {
    m_sessions.erase(session);
    Say("client #" + std::to_string(session) + " disconnected");
}

void SimServer::OnBytes(int session, std::string_view bytes) {
    auto found = m_sessions.find(session);
    if (found == m_sessions.end()) {
        return;
    }
    found->second.splitter.Append(bytes);
    std::string line;
    while (m_sessions.count(session) != 0 && m_sessions[session].splitter.Next(line)) {
        m_log.Write(session, '>', line);
        RequestFrame frame;
        if (!ParseRequestFrame(line, frame)) {
            continue;  // not a frame: nothing to answer
        }
        HandleFrame(session, frame);
    }
    // A client that never sends a line end would make us hold its bytes forever.
    found = m_sessions.find(session);
    if (found != m_sessions.end() &&
        found->second.splitter.PendingSize() > kMaxPendingRequestBytes) {
        m_tls.Close(session);
    }
}

void SimServer::HandleFrame(int session, const RequestFrame& frame) {
    if (m_replay.IsLoaded()) {
        // The capture holds the login's answer and everything after it; orders and other
        // requests are not answered, as the captured server's answers are already in it, but
        // each opens the gate in front of its answer (ReplayFeed.h).
        if (frame.code != wire::kLoginRequest) {
            m_replay.OnRequest(session, frame.code, SteadyClock::now());
            return;
        }
        if (m_replay.HasBegun()) {
            // One capture, one session: a second client is told so rather than left waiting.
            Send(session, wire::kErrorReport,
                 BuildErrorReport("The capture is replayed to client #" +
                                      std::to_string(m_replay.Session()) + " only",
                                  kErrorReplayTaken));
            Say("client #" + std::to_string(session) + " refused: the capture is taken");
            return;
        }
        m_replay.Begin(session, SteadyClock::now());
        Say("client #" + std::to_string(session) + " gets the capture");
        return;
    }
    switch (frame.code) {
        case wire::kLoginRequest:
            HandleLogin(session, frame.body);
            return;
        case wire::kLogoutRequest:
            HandleLogout(session);
            return;
        case wire::kOrderRequest:
            HandleOrder(session, frame.body);
            return;
        case wire::kHistoryRequest:
            HandleHistory(session, frame.body);
            return;
        default:
            return;  // a request we do not know is ignored, as a server would
    }
}

void SimServer::HandleLogin(int session, std::string_view body) {
    const LoginRequest request = ParseLogin(body);
    Account* account = m_accounts.Authenticate(request.user, request.password);
    if (account == nullptr) {
        Send(session, wire::kErrorReport,
             BuildErrorReport("Wrong user name or password", kErrorWrongPassword));
        Say("client #" + std::to_string(session) + " refused login as " + request.user);
        return;
    }
    m_sessions[session].account = account;
    Say("client #" + std::to_string(session) + " logged in as " + account->code);
    Send(session, wire::kLoginReply, BuildLoginReply(*account));
    Send(session, wire::kAccountInfo, BuildAccountInfo(*account, m_market));
    Send(session, wire::kInstrumentList, BuildInstrumentList(m_market));
    Send(session, wire::kCurrencyList, BuildCurrencyList(m_market));
    Send(session, wire::kBaseInfo, BuildBaseInfo(kBaseRateSwitch));
    Send(session, wire::kGroupInfo, BuildGroup());
    Send(session, wire::kBargainList, BuildBargainList(*account, m_market));
    Send(session, wire::kOrderList, BuildOrderList(*account, m_market));
    Send(session, wire::kBroadcast,
         BuildBroadcast(++m_broadcastCount, "Welcome",
                        "Welcome to the Tradewire simulator, " + account->holder + ".", Now()));
}

void SimServer::HandleLogout(int session) {
    SessionState& state = m_sessions[session];
    if (state.account == nullptr) {
        return;
    }
    Send(session, wire::kTextNotice, BuildTextNotice("Logged out: " + state.account->code));
    Say("client #" + std::to_string(session) + " logged out");
    state.account = nullptr;
}

Account* SimServer::LoggedInAccount(int session) {
    Account* account = m_sessions[session].account;
    if (account == nullptr) {
        Send(session, wire::kErrorReport, BuildErrorReport("Not logged in", kErrorNotLoggedIn));
    }
    return account;
}

void SimServer::HandleOrder(int session, std::string_view body) {
    Account* account = LoggedInAccount(session);
    if (account == nullptr) {
        return;
    }
    const OrderRequest request = ParseOrder(body);
    bool changed = false;
    for (const DeskReply& reply : m_desk.Apply(*account, request)) {
        const bool isDeal = reply.code == wire::kDealEvent;
        Send(session, reply.code, isDeal ? BuildDeal(reply.deal) : BuildOrder(reply.order));
        changed = changed || reply.code != wire::kRefusalEvent;
    }
    if (changed) {
        RefreshOthers(*account, session);
    }
}

void SimServer::HandleHistory(int session, std::string_view body) {
    Account* account = LoggedInAccount(session);
    if (account == nullptr) {
        return;
    }
    const HistoryRequest request = ParseHistory(body);
    Send(session, wire::kHistoryList, BuildHistory(*account, m_market, request.from, request.to));
}

void SimServer::SendAccountState(int session, const Account& account) {
    Send(session, wire::kAccountInfo, BuildAccountInfo(account, m_market));
    Send(session, wire::kBargainList, BuildBargainList(account, m_market));
    Send(session, wire::kOrderList, BuildOrderList(account, m_market));
}

void SimServer::RefreshOthers(const Account& account, int except) {
    for (const auto& [id, state] : m_sessions) {
        if (id != except && state.account == &account) {
            SendAccountState(id, account);
        }
    }
}

void SimServer::SendToAccount(const Account& account, int code, const std::string& body) {
    for (const auto& [id, state] : m_sessions) {
        if (state.account == &account) {
            Send(id, code, body);
        }
    }
}

void SimServer::Send(int session, int code, const std::string& body) {
    const std::string frame = PackServerFrame(code, body);
    m_log.Write(session, '<', std::string_view(frame).substr(0, frame.size() - 2));
    m_tls.Send(session, frame);
}

void SimServer::RunReplay() {
    while (!m_stop) {
        m_replay.SendDue(SteadyClock::now(), [this](int session, const std::string& bytes) {
            m_log.Write(session, '<', bytes);
            m_tls.Send(session, bytes);
        });
        if (m_replay.IsHeld() && m_replay.GatesOpened() != m_heldAt) {
            m_heldAt = m_replay.GatesOpened();
            Say("the capture waits for the client's request " + std::to_string(m_heldAt + 1) +
                " of " + std::to_string(m_replay.GateCount()));
        }
        const auto wait = m_replay.Wait(SteadyClock::now(), std::chrono::milliseconds(kMaxPollMs));
        m_tls.Poll(static_cast<int>(wait.count()), *this);
    }
}

void SimServer::Tick() {
    const std::vector<size_t> moved = m_market.Step();
    const std::string quotes = BuildQuotes(m_market, moved, WallMicros());
    for (const auto& [id, state] : m_sessions) {
        if (state.account != nullptr) {
            Send(id, wire::kQuotes, quotes);
        }
    }
    for (Account& account : m_accounts.All()) {
        for (const DeskReply& fill : m_desk.FillCrossedOrders(account)) {
            Say("order " + std::to_string(fill.deal.bargainNo) + " of " + account.code + " filled");
            SendToAccount(account, fill.code, BuildDeal(fill.deal));
        }
    }
}

void SimServer::Notice() {
    const std::string text = kNotices[m_noticeCount % std::size(kNotices)];
    const bool bulletin = m_noticeCount % 3 == 2;
    ++m_noticeCount;
    for (const auto& [id, state] : m_sessions) {
        if (state.account == nullptr) {
            continue;
        }
        Send(id, wire::kTextNotice, BuildTextNotice(text));
        if (bulletin) {
            Send(id, wire::kBroadcast,
                 BuildBroadcast(m_broadcastCount + 1, "Bulletin",
                                "Simulated markets run around the clock.", Now()));
        }
    }
    if (bulletin) {
        ++m_broadcastCount;
    }
}

Stamp SimServer::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[16];
    char time[16];
    (void)std::strftime(date, sizeof date, "%Y%m%d", &local);
    (void)std::strftime(time, sizeof time, "%H:%M:%S", &local);
    return {date, time};
}

void SimServer::Say(const std::string& line) const {
    if (!m_options.quiet) {
        std::printf("tradewire-sim: %s\n", line.c_str());
        (void)std::fflush(stdout);
    }
}

}  // namespace sim
