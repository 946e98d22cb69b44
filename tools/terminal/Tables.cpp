#include "Tables.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "TextOut.h"
#include "vocabulary/WireVocabulary.h"

namespace term {

namespace {

bool LooksNumeric(const std::string& cell) {
    return !cell.empty() && (std::isdigit(static_cast<unsigned char>(cell[0])) != 0 ||
                             ((cell[0] == '-' || cell[0] == '+') && cell.size() > 1));
}

// "20240501" "12:00:00" as "2024-05-01 12:00:00"; other forms are shown as they came.
std::string DateTime(const CString& date, const CString& time) {
    std::string text = Utf8(date);
    if (text.size() == 8) {
        text.insert(6, "-");
        text.insert(4, "-");
    }
    return text + " " + Utf8(time);
}

double Balance(const CAccountInfo& account) {
    return account.Funds.IsEmpty() ? 0.0 : account.Funds[0].Balance;
}

struct CodeName {
    int code;
    const char* name;
};

// The name of `code` in `names`, "?" for a code it does not list.
template <size_t N>
const char* NameOf(const CodeName (&names)[N], int code) {
    for (const CodeName& entry : names) {
        if (entry.code == code) {
            return entry.name;
        }
    }
    return "?";
}

}  // namespace

Table::Table(std::vector<std::string> headers) : m_headers(std::move(headers)) {}

void Table::Row(std::vector<std::string> cells) {
    cells.resize(m_headers.size());
    m_rows.push_back(std::move(cells));
}

std::string Table::Render(const std::string& title) const {
    std::vector<size_t> widths;
    for (const std::string& header : m_headers) {
        widths.push_back(header.size());
    }
    for (const auto& row : m_rows) {
        for (size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    auto line = [&](const std::vector<std::string>& cells, bool header) {
        std::string text = " ";
        for (size_t column = 0; column < cells.size(); ++column) {
            const std::string& cell = cells[column];
            const std::string pad(widths[column] - cell.size(), ' ');
            text += " ";
            text += !header && LooksNumeric(cell) ? pad + cell : cell + pad;
            text += " ";
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        return text + "\n";
    };
    std::string out = title + "\n" + line(m_headers, true);
    size_t total = 1;
    for (const size_t width : widths) {
        total += width + 2;
    }
    out += " " + std::string(total - 1, '-') + "\n";
    if (m_rows.empty()) {
        out += "  (none)\n";
    }
    for (const auto& row : m_rows) {
        out += line(row, false);
    }
    out.pop_back();
    return out;
}

int DigitsOf(const CForexMerch& merch) {
    if (merch.PriceUnit <= 0) {
        return 5;
    }
    return std::clamp(static_cast<int>(std::lround(-std::log10(merch.PriceUnit))), 0, 8);
}

int DigitsOf(const CForexMerchArray& merchs, const CString& code) {
    for (INT_PTR index = 0; index < merchs.GetSize(); ++index) {
        if (merchs[index].MerchCode == code) {
            return DigitsOf(merchs[index]);
        }
    }
    return 5;
}

const char* SideName(int side) {
    static constexpr CodeName kSides[] = {{tradewire::kBuy, "buy"}, {tradewire::kSell, "sell"}};
    return NameOf(kSides, side);
}

const char* OrderKindName(int kind) {
    static constexpr CodeName kKinds[] = {
        {tradewire::kBuyLimit, "buy limit"},
        {tradewire::kSellLimit, "sell limit"},
        {tradewire::kBuyStop, "buy stop"},
        {tradewire::kSellStop, "sell stop"},
    };
    return NameOf(kKinds, kind);
}

std::string AccountTable(const CAccountInfo& account, int positions, int orders) {
    Table table({"account", "holder", "currency", "balance", "positions", "orders"});
    table.Row({Utf8(account.AccountCode), Utf8(account.Value2), Utf8(account.Value4),
               FormatMoney(Balance(account)), std::to_string(positions), std::to_string(orders)});
    return table.Render("Account");
}

std::string InstrumentTable(const CForexMerchArray& merchs) {
    Table table({"code", "name", "bid", "ask", "spread", "point"});
    for (INT_PTR index = 0; index < merchs.GetSize(); ++index) {
        const CForexMerch& m = merchs[index];
        const int digits = DigitsOf(m);
        const double spread =
            m.PriceUnit > 0
                ? (static_cast<double>(m.RealtimePrice.Ask) - m.RealtimePrice.Bid) / m.PriceUnit
                : 0.0;
        table.Row({Utf8(m.MerchCode), Utf8(m.MerchName), FormatPrice(m.RealtimePrice.Bid, digits),
                   FormatPrice(m.RealtimePrice.Ask, digits), FormatPrice(spread, 1),
                   FormatPrice(m.PriceUnit, digits)});
    }
    return table.Render("Instruments");
}

std::string QuoteTable(const CForexMerchArray& merchs) {
    Table table({"code", "bid", "ask", "high", "low"});
    for (INT_PTR index = 0; index < merchs.GetSize(); ++index) {
        const CForexMerch& m = merchs[index];
        const int digits = DigitsOf(m);
        const CForexRealtimePrice& q = m.RealtimePrice;
        table.Row({Utf8(m.MerchCode), FormatPrice(q.Bid, digits), FormatPrice(q.Ask, digits),
                   FormatPrice(q.Price3, digits), FormatPrice(q.Price4, digits)});
    }
    return table.Render("Quotes");
}

std::string PositionTable(const CBargainArray& bargains, const MarketCopy& market) {
    Table table({"position", "symbol", "side", "lots", "open price", "price", "profit", "stop loss",
                 "take profit"});
    for (INT_PTR index = 0; index < bargains.GetSize(); ++index) {
        const CBargain& b = bargains[index];
        const int digits = DigitsOf(market.merchs, b.MerchCode);
        std::string price = "-";
        std::string profit = "-";
        for (INT_PTR m = 0; m < market.merchs.GetSize(); ++m) {
            if (market.merchs[m].MerchCode == b.MerchCode &&
                ClosingPrice(b, market.merchs[m]) > 0) {
                price = FormatPrice(ClosingPrice(b, market.merchs[m]), digits);
                profit = FormatMoney(FloatingProfit(b, market.merchs[m], market));
            }
        }
        table.Row({std::to_string(b.BargainNo), Utf8(b.MerchCode), SideName(b.Direction),
                   FormatLots(b.Lots), FormatPrice(b.Price, digits), price, profit,
                   FormatTrigger(b.TriggerPrice1, digits), FormatTrigger(b.TriggerPrice2, digits)});
    }
    return table.Render("Open positions");
}

std::string OrderTable(const COrderInfoArray& orders, const CForexMerchArray& merchs) {
    Table table({"order", "symbol", "type", "lots", "price", "stop loss", "take profit"});
    for (INT_PTR index = 0; index < orders.GetSize(); ++index) {
        const COrderInfo& o = orders[index];
        const int digits = DigitsOf(merchs, o.MerchCode);
        table.Row({std::to_string(o.OrderNo), Utf8(o.MerchCode), OrderKindName(o.OrderKind),
                   FormatLots(static_cast<double>(o.Value11) / tradewire::kHundredthsPerLot),
                   FormatPrice(o.Value14, digits), FormatTrigger(o.TriggerPrice1, digits),
                   FormatTrigger(o.TriggerPrice2, digits)});
    }
    return table.Render("Pending orders");
}

std::string HistoryTable(const CHistoryOrderInfoArray& history, const CForexMerchArray& merchs) {
    Table table(
        {"deal", "position", "symbol", "side", "lots", "open", "close", "profit", "closed at"});
    // A line is the deal that closed the position: its side is the opposite of the position's.
    for (INT_PTR index = 0; index < history.GetSize(); ++index) {
        const CHistoryOrderInfo& h = history[index];
        const int digits = DigitsOf(merchs, h.MerchCode);
        table.Row({std::to_string(h.BargainNo), std::to_string(h.OpenBargainNo), Utf8(h.MerchCode),
                   SideName(tradewire::OppositeSide(h.Direction)), FormatLots(h.Lots),
                   FormatPrice(h.OpenPrice, digits), FormatPrice(h.ClosePrice, digits),
                   FormatMoney(h.Profit), DateTime(h.Value19, h.Value20)});
    }
    return table.Render("History");
}

}  // namespace term
