#pragma once
// The accounts the simulator serves and their state, which outlives any one connection: a
// client that reconnects finds its positions, orders and history again. The simulator's one
// loop thread owns the book; nothing here locks.

#include <deque>
#include <string>
#include <string_view>

#include "SimRecords.h"

namespace sim {

struct Account {
    std::string code;  // also the user name of the login
    std::string password;
    std::string holder;
    double balance = 0;
    int nextNumber = 100001;  // bargain and order numbers share it, so a fill can reuse one
    int nextInternalNo = 1;   // handed to the client at login
    std::vector<Position> positions;
    std::vector<PendingOrder> orders;
    std::vector<ClosedDeal> history;

    int TakeNumber() { return nextNumber++; }
    // The client numbers its requests from what we hand out at login; keep ahead of every
    // number it has used, so a new login never makes it reuse one.
    void NoteInternalNo(int used);
    Position* FindPosition(int bargainNo);
    PendingOrder* FindOrder(int orderNo);
};

class AccountBook {
  public:
    // Adds an account, or replaces the password and balance of an existing one.
    Account& Add(std::string code, std::string password, std::string holder, double balance);
    Account* Find(std::string_view code);
    // The account when the password matches, else null.
    Account* Authenticate(std::string_view code, std::string_view password);
    std::deque<Account>& All() { return m_accounts; }

  private:
    std::deque<Account> m_accounts;  // a deque keeps references stable as accounts are added
};

}  // namespace sim
