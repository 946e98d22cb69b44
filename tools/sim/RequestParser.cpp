#include "RequestParser.h"

#include "WireFormat.h"

namespace sim {

LoginRequest ParseLogin(std::string_view body) {
    FieldReader reader(body);
    LoginRequest request;
    request.user = reader.Next();
    reader.Next();  // the user again
    request.password = reader.Next();
    return request;
}

std::string ParseLogoutUser(std::string_view body) {
    FieldReader reader(body);
    return std::string(reader.Next());
}

OrderRequest ParseOrder(std::string_view body) {
    FieldReader reader(body);
    OrderRequest r;
    r.account = reader.Next();
    reader.Next();  // the account again
    r.merch = reader.Next();
    reader.Next();
    r.internalNo = reader.NextInt();
    reader.Next();
    r.orderNo = reader.NextInt();
    r.bargainNo = reader.NextInt();
    r.kind = reader.NextInt();
    reader.Next();
    r.side = reader.NextInt();
    r.lotsHundredths = reader.NextInt();
    reader.Next();
    r.closeFlag = reader.NextInt();
    r.pricePoints = reader.NextDouble();
    reader.Next();
    reader.Next();
    r.stopPoints = reader.NextDouble();
    r.takePoints = reader.NextDouble();
    for (int field = 20; field <= 28; ++field) {
        reader.Next();
    }
    r.note = reader.Next();
    return r;
}

HistoryRequest ParseHistory(std::string_view body) {
    FieldReader reader(body);
    HistoryRequest request;
    request.account = reader.Next();
    reader.Next();
    request.from = reader.NextInt();
    request.to = reader.NextInt();
    return request;
}

}  // namespace sim
