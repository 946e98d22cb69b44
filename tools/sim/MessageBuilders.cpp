#include "MessageBuilders.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "AccountRecords.h"
#include "WireFormat.h"

namespace sim {

namespace {

constexpr int kMoneyDecimals = 2;
constexpr int kInstrumentFields = 88;
constexpr int kLeverage = 100;

std::string Number(double value, int decimals) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Plain(double value) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

int DigitsOf(const Market& market, const std::string& merch) {
    const Instrument* instrument = market.Find(merch);
    return instrument == nullptr ? 5 : instrument->digits;
}

void WriteInstrument(FieldWriter& writer, const Instrument& i) {
    std::vector<std::string> fields(kInstrumentFields, "0");
    for (const int textField : {29, 32, 41, 56}) {
        fields[static_cast<size_t>(textField - 1)].clear();
    }
    const int d = i.digits;
    fields[0] = i.code;
    fields[1] = std::to_string(i.number);
    fields[2] = i.name;
    fields[3] = std::to_string(d);
    fields[6] = Plain(i.profitFactor);
    fields[14] = Number(i.minSpread, d);
    fields[16] = std::to_string(d);
    fields[17] = Number(i.priceUnit, d);
    fields[18] = Plain(i.profitDivisor);
    fields[21] = Number(i.bid, d);
    fields[22] = Number(i.ask, d);
    fields[23] = Number(i.high, d);
    fields[24] = Number(i.low, d);
    for (const std::string& field : fields) {
        writer.Text(field);
    }
    writer.EndRecord();
}

void WriteDeal(FieldWriter& writer, const DealRecord& deal) {
    writer.Text(deal.account).Text(deal.merch).Text(deal.source).Empty();
    writer.Int(deal.bargainNo).Int(deal.openBargainNo).Int(deal.internalNo);
    writer.Text(deal.stamp.date).Text(deal.stamp.time);
    writer.Int(deal.side).Int(deal.closeFlag).Float(deal.lots);
    writer.Fixed(deal.price, deal.digits);
    writer.Fixed(deal.stopLoss, deal.digits).Fixed(deal.takeProfit, deal.digits);
    for (int field = 16; field <= 21; ++field) {
        writer.Text("0");
    }
    writer.EndRecord();
}

void WriteOrder(FieldWriter& writer, const OrderRecord& order) {
    writer.Text(order.account).Text(order.merch).Text(order.stamp.date + " " + order.stamp.time);
    writer.Int(order.internalNo).Empty().Int(order.orderNo).Int(order.bargainNo).Int(order.kind);
    writer.Empty().Int(order.side).Int(order.lotsHundredths).Int(0).Int(order.closeFlag);
    writer.Fixed(order.price, order.digits).Text("0").Text("0");
    writer.Fixed(order.stopLoss, order.digits).Fixed(order.takeProfit, order.digits);
    for (int field = 19; field <= 27; ++field) {
        writer.Text("0");
    }
    writer.Text(order.note).Text("0").Text("0").Text("0");
    writer.EndRecord();
}

}  // namespace

std::string BuildLoginReply(const Account& account) {
    return FieldWriter().Text(account.code).Body();
}

std::string BuildErrorReport(const std::string& text, int code) {
    return FieldWriter().Text(text).Int(0).Int(code).Body();
}

std::string BuildAccountInfo(const Account& account, const Market& market) {
    FieldWriter w;
    w.Text(account.code).EndSection();

    w.Text(account.holder).Text("standard").Text("USD").Empty(7);
    w.Text("0").Text("0").Text("0").Text("0");  // 11-14
    w.Empty();                                  // 15
    w.Int(kLeverage);                           // 16
    for (int field = 17; field <= 22; ++field) {
        w.Text("0");
    }
    w.Empty(7).Empty().Empty(4);  // 23-34
    for (int field = 35; field <= 39; ++field) {
        w.Text("0");
    }
    w.Empty(2).Text("0").Empty().Text("0").Text("0");  // 40-45
    w.EndSection();

    double lotsOpen = 0;
    for (const Position& p : account.positions) {
        lotsOpen += p.lots;
    }
    w.Fixed(account.balance, kMoneyDecimals).Fixed(lotsOpen * 1000.0, kMoneyDecimals);
    for (int field = 3; field <= 13; ++field) {
        w.Text("0");
    }
    w.Text("USD").EndRecord().EndSection();

    for (const Instrument& i : market.Instruments()) {
        WriteInstrument(w, i);
    }
    w.EndSection();
    w.EndSection();  // nothing in block 5
    w.Int(account.nextInternalNo).EndSection();
    return w.Body();
}

std::string BuildInstrumentList(const Market& market) {
    FieldWriter w;
    for (const Instrument& i : market.Instruments()) {
        WriteInstrument(w, i);
    }
    return w.Body();
}

std::string BuildCurrencyList(const Market& market) {
    FieldWriter w;
    for (const Currency& c : market.Currencies()) {
        w.Text(c.code).Text(c.name).Text(c.code).Text("0").Text(Plain(c.usdRate));
        w.Text("0").Text("0").Text("0").EndRecord();
    }
    return w.Body();
}

std::string BuildBaseInfo(double baseRateSwitch) {
    FieldWriter w;
    w.Text("Tradewire simulator").Empty(6).Text("USD").Empty(16).EndRecord();
    w.Text("0").Text("0").Text("0").Text("0").Empty().Text("0").Text("0");  // 25-31
    w.Text(Plain(baseRateSwitch));                                          // 32
    for (int field = 33; field <= 40; ++field) {
        w.Text("0");
    }
    w.Empty();  // 41
    for (int field = 42; field <= 52; ++field) {
        w.Text("0");
    }
    return w.Body();
}

std::string BuildGroup() {
    FieldWriter w;
    w.Text("standard").Text("0").Empty(2).Text("0").Text("0").Int(kLeverage);
    for (int cell = 0; cell < 27; ++cell) {
        w.Text("0");
    }
    return w.Body();
}

std::string BuildBargainList(const Account& account, const Market& market) {
    FieldWriter w;
    for (const Position& p : account.positions) {
        WriteDeal(w, OpeningDealOf(account, p, DigitsOf(market, p.merch)));
    }
    return w.Body();
}

std::string BuildOrderList(const Account& account, const Market& market) {
    FieldWriter w;
    for (const PendingOrder& o : account.orders) {
        WriteOrder(w, OrderRecordOf(account, o, DigitsOf(market, o.merch)));
    }
    return w.Body();
}

std::string BuildHistory(const Account& account, const Market& market, int from, int to) {
    FieldWriter w;
    for (const ClosedDeal& c : account.history) {
        const int date = LeadingInt(c.closed.date);
        if (date < from || date > to) {
            continue;
        }
        const Position& o = c.open;
        const int d = DigitsOf(market, o.merch);
        w.Text("market").Text(account.code).Text(o.merch).Float(c.lots);
        w.Text(o.source).Empty().Int(o.bargainNo).Int(o.internalNo);
        w.Text(o.opened.date).Text(o.opened.time).Int(o.side).Fixed(o.price, d);
        w.Fixed(o.takeProfit, d).Fixed(o.stopLoss, d);
        w.Text("market").Empty().Int(c.bargainNo).Int(c.internalNo);
        w.Text(c.closed.date).Text(c.closed.time).Fixed(c.price, d);
        w.Fixed(c.profit, kMoneyDecimals).Text("0").Text("0").Text("0").Text("0");
        w.EndRecord();
    }
    return w.Body();
}

std::string BuildDeal(const DealRecord& deal) {
    FieldWriter w;
    WriteDeal(w, deal);
    return w.Body();
}

std::string BuildOrder(const OrderRecord& order) {
    FieldWriter w;
    WriteOrder(w, order);
    return w.Body();
}

std::string BuildQuotes(const Market& market, const std::vector<size_t>& indexes,
                        long long stampMicros) {
    FieldWriter w;
    for (const size_t index : indexes) {
        const Instrument& i = market.Instruments()[index];
        w.Text(i.code).Fixed(i.bid, i.digits).Fixed(i.ask, i.digits).Int(stampMicros);
        w.Fixed(i.high, i.digits).Fixed(i.low, i.digits).EndRecord();
    }
    w.EndSection();
    return w.Body();
}

std::string BuildTextNotice(const std::string& text) {
    return FieldWriter().Text(text).Body();
}

std::string BuildBroadcast(int number, const std::string& title, const std::string& text,
                           const Stamp& stamp) {
    FieldWriter w;
    w.Int(number).Text("0").Text("0").Text(title).Text(text).Text(stamp.date).Text(stamp.time);
    w.Empty();
    return w.Body();
}

}  // namespace sim
