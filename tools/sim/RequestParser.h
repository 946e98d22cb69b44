#pragma once
// Reads the bodies of the four requests a client sends (8000 login, 8001 logout, 7001 order,
// 7900 history). Missing fields read as 0 or empty, as on the client; nothing here fails.

#include <string>
#include <string_view>

namespace sim {

struct LoginRequest {
    std::string user;
    std::string password;
};

// An order request. Prices travel as whole numbers of the instrument's price unit (points),
// because the request's floating fields are sent without decimals; lots travel in hundredths.
struct OrderRequest {
    std::string account;
    std::string merch;
    int internalNo = 0;
    int orderNo = 0;
    int bargainNo = 0;
    int kind = 0;
    int side = 0;            // 40 buy, 41 sell
    int lotsHundredths = 0;  // 0 on a close means the whole position
    int closeFlag = 0;
    double pricePoints = 0;  // 0 on a market order means "at market"
    double stopPoints = 0;   // stop loss, 0 for none
    double takePoints = 0;   // take profit, 0 for none
    std::string note;
};

struct HistoryRequest {
    std::string account;
    int from = 0;  // YYYYMMDD
    int to = 0;
};

LoginRequest ParseLogin(std::string_view body);
std::string ParseLogoutUser(std::string_view body);
OrderRequest ParseOrder(std::string_view body);
HistoryRequest ParseHistory(std::string_view body);

}  // namespace sim
