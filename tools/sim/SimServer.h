#pragma once
// The simulator: accounts, market and order desk behind a TLS server. Run() is the one loop
// thread that owns everything; Stop() may be called from any thread and makes Run() return
// within one poll (at most 50 ms).
//
// What a client gets:
//   8000 login       -> 8000, 9501, 9511, 9505, 9516, 9515, 9512, 9513, then a 9524 welcome
//   wrong password   -> 9999 (code 101); a request before login -> 9999 (code 102)
//   8001 logout      -> 9002 "Logged out: <user>"; quotes stop
//   7001 order       -> the replies of OrderDesk; other sessions of the same account get
//                       fresh 9501, 9512 and 9513, since the events do not match their requests
//   7900 history     -> 9514 with the deals closed between the two dates
// and, while logged in, 9518 quotes at the tick rate, 9002 notices now and then, and 7003
// fills for pending orders the price has crossed.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>

#include "Account.h"
#include "FrameLog.h"
#include "Market.h"
#include "OrderDesk.h"
#include "ReplayFeed.h"
#include "SimOptions.h"
#include "TlsServer.h"
#include "WireFormat.h"

namespace sim {

class SimServer : private TlsHandler {
  public:
    explicit SimServer(SimOptions options);

    bool Start(std::string& error);
    std::uint16_t Port() const { return m_tls.Port(); }
    std::string PublicKeyPin() const { return m_tls.PublicKeyPin(); }
    // The capture --replay serves (empty before Start or without --replay). Start's thread.
    const ReplayFeed& Replay() const { return m_replay; }
    void Run();
    void Stop() { m_stop = true; }

    // The base-information figure the simulator sends; dollar-based pairs convert at their
    // own price with it.
    static constexpr double kBaseRateSwitch = 0.0;

  private:
    using SteadyClock = std::chrono::steady_clock;

    struct SessionState {
        RequestSplitter splitter;
        Account* account = nullptr;
    };

    void OnOpened(int session) override;
    void OnBytes(int session, std::string_view bytes) override;
    void OnClosed(int session) override;

    void HandleFrame(int session, const RequestFrame& frame);
    void HandleLogin(int session, std::string_view body);
    void HandleLogout(int session);
    // The session's account, or null after telling the client it has not logged in.
    Account* LoggedInAccount(int session);
    void HandleOrder(int session, std::string_view body);
    void HandleHistory(int session, std::string_view body);

    void SendAccountState(int session, const Account& account);
    void RefreshOthers(const Account& account, int except);
    void SendToAccount(const Account& account, int code, const std::string& body);
    void Send(int session, int code, const std::string& body);
    void Say(const std::string& line) const;

    // --replay: the captured bytes instead of the market, on the loop thread.
    void RunReplay();
    void Tick();
    void Notice();
    Stamp Now() const;

    SimOptions m_options;
    Market m_market;
    AccountBook m_accounts;
    OrderDesk m_desk;
    TlsServer m_tls;
    FrameLog m_log;
    ReplayFeed m_replay;
    size_t m_heldAt = SIZE_MAX;  // the gates opened when the replay last said it was held
    std::map<int, SessionState> m_sessions;
    std::atomic<bool> m_stop{false};
    int m_noticeCount = 0;
    int m_broadcastCount = 0;
};

}  // namespace sim
