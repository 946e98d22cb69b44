#pragma once
// Shared pieces of the fault tests: a whole trading session as the server plays it (the stores
// it leaves compare through support's StoreSnapshot).

#include <string>
#include <vector>

#include "StoreSnapshot.h"
#include "tradewire/Records.h"

// One step of the session: either a line the server sends, or an order the terminal commits
// (the server's reply comes as a later line).
struct CScriptStep {
    std::string line;  // empty for a commit
    COrderInfo commit;
    bool IsCommit() const { return line.empty(); }
};

// Login, reference data, quotes, an open confirmed and carried out, a close (with its profit,
// balance and history line), a pending order placed, changed and filled, a refused delete, a
// notice, a broadcast, an error report and a history list. Every message code the terminal
// handles appears at least once.
std::vector<CScriptStep> TradingScript();
