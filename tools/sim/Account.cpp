#include "Account.h"

#include <algorithm>

namespace sim {

void Account::NoteInternalNo(int used) {
    nextInternalNo = std::max(nextInternalNo, used + 1);
}

Position* Account::FindPosition(int bargainNo) {
    for (Position& p : positions) {
        if (p.bargainNo == bargainNo) {
            return &p;
        }
    }
    return nullptr;
}

PendingOrder* Account::FindOrder(int orderNo) {
    for (PendingOrder& o : orders) {
        if (o.orderNo == orderNo) {
            return &o;
        }
    }
    return nullptr;
}

Account& AccountBook::Add(std::string code, std::string password, std::string holder,
                          double balance) {
    Account* account = Find(code);
    if (account == nullptr) {
        account = &m_accounts.emplace_back();
        account->code = std::move(code);
    }
    account->password = std::move(password);
    account->holder = std::move(holder);
    account->balance = balance;
    return *account;
}

Account* AccountBook::Find(std::string_view code) {
    for (Account& a : m_accounts) {
        if (a.code == code) {
            return &a;
        }
    }
    return nullptr;
}

Account* AccountBook::Authenticate(std::string_view code, std::string_view password) {
    Account* account = Find(code);
    if (account == nullptr || account->password != password) {
        return nullptr;
    }
    return account;
}

}  // namespace sim
