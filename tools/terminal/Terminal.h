#pragma once
// One terminal session: connects, logs in, shows the account and runs commands. Runs on the
// caller's thread; the sink does the listening on the library's threads.

#include <tradewire/Tradewire.h>

#include <string>

#include "CommandParser.h"
#include "TermOptions.h"
#include "TerminalSink.h"

namespace term {

class Terminal {
  public:
    Terminal(CAbsForexManager& manager, TerminalSink& sink, TermOptions options);

    // Connects with a progress line; false (with the reason printed) on failure.
    bool Connect();
    // Logs in and waits for the account; false on a refusal or time-out.
    bool Login();
    void ShowOverview();
    // Runs one command line. Returns false when the session should end.
    bool RunLine(const std::string& line);
    // Logs out if still logged in, then disconnects.
    void Finish();

  private:
    bool Execute(const Command& command);
    void Submit(const COrderInfo& order, const char* what);
    void MarketOrder(const Command& command);
    void CloseOrder(const Command& command);
    void TriggerOrder(const Command& command);
    void PendingOrder(const Command& command);
    void ChangeOrder(const Command& command);
    void DeleteOrder(const Command& command);
    void History(const Command& command);
    void Latency(const Command& command);
    static std::string PaceName();
    void Logout();

    bool FindMerch(const CString& code, CForexMerch& merch);
    bool FindBargain(const Command& command, CBargain& bargain);
    bool FindOrder(const Command& command, COrderInfo& order);
    CString AccountCode();

    CAbsForexManager& m_manager;
    CForexDataCenter* m_dataCenter;
    TerminalSink& m_sink;
    TermOptions m_options;
    bool m_loggedIn = false;
    bool m_connected = false;
};

}  // namespace term
