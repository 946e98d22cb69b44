#include "NonFiniteNumbers.h"

#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

class CFiniteCheck {
  public:
    using Named = std::pair<const char*, double>;

    void Numbers(const std::string& record, std::initializer_list<Named> fields) {
        for (const Named& field : fields) {
            Number(record + "." + field.first, field.second);
        }
    }
    template <size_t N>
    void Cells(const std::string& name, const float (&cells)[N]) {
        for (size_t i = 0; i < N; ++i) {
            Number(name + "[" + std::to_string(i) + "]", cells[i]);
        }
    }
    void Number(const std::string& name, double value) {
        if (!std::isfinite(value)) {
            m_found.push_back(name);
        }
    }
    std::vector<std::string> Found() const { return m_found; }

  private:
    std::vector<std::string> m_found;
};

std::string Element(const char* list, INT_PTR index) {
    return std::string(list) + "[" + std::to_string(index) + "]";
}

void CheckQuote(CFiniteCheck& check, const std::string& name, const CForexRealtimePrice& q) {
    check.Numbers(name, {{"Bid", q.Bid}, {"Ask", q.Ask}, {"Price3", q.Price3},
                         {"Price4", q.Price4}});
}

void CheckMerch(CFiniteCheck& check, const std::string& name, const CForexMerch& m) {
    check.Numbers(name, {{"ProfitFactor", m.ProfitFactor}, {"Value8", m.Value8},
                         {"Value9", m.Value9}, {"Value10", m.Value10}, {"Value11", m.Value11},
                         {"Value12", m.Value12}, {"Value13", m.Value13}, {"Value14", m.Value14},
                         {"MinSpread", m.MinSpread}, {"Value16", m.Value16},
                         {"PriceUnit", m.PriceUnit}, {"ProfitDivisor", m.ProfitDivisor},
                         {"Value20", m.Value20}, {"FirstBid", m.FirstBid},
                         {"FirstAsk", m.FirstAsk}, {"FirstPrice3", m.FirstPrice3},
                         {"FirstPrice4", m.FirstPrice4}, {"Value26", m.Value26},
                         {"Value27", m.Value27}, {"Value28", m.Value28}, {"Value30", m.Value30},
                         {"Value31", m.Value31}, {"Value34", m.Value34}, {"Value38", m.Value38},
                         {"Value39", m.Value39}, {"Value42", m.Value42}, {"Value43", m.Value43},
                         {"Value44", m.Value44}, {"Value45", m.Value45}, {"Value53", m.Value53},
                         {"Value54", m.Value54}, {"Value55", m.Value55}, {"Value56", m.Value56},
                         {"Value57", m.Value57}, {"Value58", m.Value58}, {"Value59", m.Value59},
                         {"Value60", m.Value60}});
    check.Cells(name + ".Value37", m.Value37);
    check.Cells(name + ".Value46", m.Value46);
    CheckQuote(check, name + ".RealtimePrice", m.RealtimePrice);
}

void CheckMerchs(CFiniteCheck& check, const char* list, const CForexMerchArray& merchs) {
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        CheckMerch(check, Element(list, i), merchs[i]);
    }
}

void CheckAccount(CFiniteCheck& check, const CAccountInfo& a) {
    check.Numbers("account", {{"Value18", a.Value18}, {"Value19", a.Value19},
                              {"Value22", a.Value22}, {"Value38", a.Value38},
                              {"Value39", a.Value39}, {"Value42", a.Value42},
                              {"Value44", a.Value44}});
    for (INT_PTR i = 0; i < a.Funds.GetSize(); ++i) {
        const CFundInfo& f = a.Funds[i];
        check.Numbers(Element("account.Funds", i),
                      {{"Balance", f.Balance}, {"Value2", f.Value2}, {"Value3", f.Value3},
                       {"Value4", f.Value4}, {"Value5", f.Value5}, {"Value6", f.Value6},
                       {"Value7", f.Value7}, {"Value8", f.Value8}, {"Value9", f.Value9},
                       {"Value10", f.Value10}, {"Value11", f.Value11}, {"Value12", f.Value12},
                       {"Value13", f.Value13}});
    }
    CheckMerchs(check, "account.Merchs", a.Merchs);
}

void CheckBargains(CFiniteCheck& check, const CBargainArray& bargains) {
    for (INT_PTR i = 0; i < bargains.GetSize(); ++i) {
        const CBargain& b = bargains[i];
        check.Numbers(Element("bargains", i),
                      {{"Lots", b.Lots}, {"Price", b.Price}, {"TriggerPrice1", b.TriggerPrice1},
                       {"TriggerPrice2", b.TriggerPrice2}, {"Value16", b.Value16},
                       {"Charge", b.Charge}, {"Credit", b.Credit}, {"Value19", b.Value19},
                       {"Value20", b.Value20}, {"Value21", b.Value21}});
    }
}

void CheckOrders(CFiniteCheck& check, const COrderInfoArray& orders) {
    for (INT_PTR i = 0; i < orders.GetSize(); ++i) {
        const COrderInfo& o = orders[i];
        check.Numbers(Element("orders", i),
                      {{"Value14", o.Value14}, {"Value15", o.Value15}, {"Value16", o.Value16},
                       {"TriggerPrice1", o.TriggerPrice1}, {"TriggerPrice2", o.TriggerPrice2},
                       {"Value19", o.Value19}, {"Value20", o.Value20}, {"Value21", o.Value21},
                       {"Value22", o.Value22}, {"Value23", o.Value23}, {"Value24", o.Value24},
                       {"Value25", o.Value25}, {"Value26", o.Value26}, {"Value27", o.Value27},
                       {"Value29", o.Value29}, {"Value30", o.Value30}, {"Value31", o.Value31}});
    }
}

void CheckHistory(CFiniteCheck& check, const CHistoryOrderInfoArray& history) {
    for (INT_PTR i = 0; i < history.GetSize(); ++i) {
        const CHistoryOrderInfo& h = history[i];
        check.Numbers(Element("history", i),
                      {{"Lots", h.Lots}, {"OpenPrice", h.OpenPrice},
                       {"OpenTriggerPrice2", h.OpenTriggerPrice2},
                       {"OpenTriggerPrice1", h.OpenTriggerPrice1}, {"ClosePrice", h.ClosePrice},
                       {"Profit", h.Profit}, {"Value23", h.Value23}, {"Credit", h.Credit},
                       {"Charge", h.Charge}, {"Value26", h.Value26}});
    }
}

void CheckCurrencys(CFiniteCheck& check, const CCurrencyArray& currencys) {
    for (INT_PTR i = 0; i < currencys.GetSize(); ++i) {
        const CCurrency& c = currencys[i];
        check.Numbers(Element("currencys", i), {{"Value4", c.Value4}, {"UsdRate", c.UsdRate},
                                                {"Value7", c.Value7}, {"Value8", c.Value8}});
    }
}

void CheckBaseInfo(CFiniteCheck& check, const CBaseInfo& b) {
    check.Numbers("base", {{"Value5", b.Value5}, {"Value6", b.Value6}, {"Value7", b.Value7},
                           {"Value8", b.Value8}, {"Value11", b.Value11},
                           {"BaseRateSwitch", b.BaseRateSwitch}, {"Value13", b.Value13},
                           {"Value14", b.Value14}, {"Value15", b.Value15}, {"Value16", b.Value16},
                           {"Value17", b.Value17}, {"Value18", b.Value18}, {"Value19", b.Value19},
                           {"Value22", b.Value22}, {"Value23", b.Value23}, {"Value24", b.Value24},
                           {"Value25", b.Value25}, {"Value26", b.Value26}, {"Value27", b.Value27},
                           {"Value28", b.Value28}, {"Value29", b.Value29}, {"Value30", b.Value30},
                           {"Value31", b.Value31}, {"Value32", b.Value32}});
}

}  // namespace

std::vector<std::string> NonFiniteNumbers(CForexDataCenter& center) {
    CFiniteCheck check;
    CAccountInfo account;
    center.GetAccountInfo(account);
    CheckAccount(check, account);
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    CheckMerchs(check, "merchs", merchs);
    CCurrencyArray currencys;
    center.GetCurrencysInfo(currencys);
    CheckCurrencys(check, currencys);
    CBargainArray bargains;
    center.GetBargainsInfo(bargains);
    CheckBargains(check, bargains);
    COrderInfoArray orders;
    center.GetOrdersInfo(orders);
    CheckOrders(check, orders);
    CHistoryOrderInfoArray history;
    center.GetHistoryOrderInfo(history);
    CheckHistory(check, history);
    CGroup group;
    center.GetGroupInfo(group);
    check.Number("group.Value6", group.Value6);
    check.Cells("group.Value8", group.Value8);
    CBaseInfo baseInfo;
    center.GetBaseInfo(baseInfo);
    CheckBaseInfo(check, baseInfo);
    CBroadCast broadCast;
    center.GetBroadCast(broadCast);
    check.Numbers("broadcast", {{"Value2", broadCast.Value2}, {"Value3", broadCast.Value3}});
    return check.Found();
}
