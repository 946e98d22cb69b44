#include "NonFiniteNumbers.h"

#include <cmath>
#include <initializer_list>
#include <sstream>

#include <gtest/gtest.h>

namespace {

class CFiniteCheck {
  public:
    // `names` holds one name per value, separated by spaces.
    void Numbers(const std::string& record, const std::string& names,
                 std::initializer_list<double> values) {
        std::istringstream words(names);
        std::string name;
        for (double value : values) {
            if (!(words >> name)) {
                ADD_FAILURE() << record << ": more values than names";
                return;
            }
            Number(record + "." + name, value);
        }
        EXPECT_FALSE(words >> name) << record << ": more names than values";
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
    check.Numbers(name, "Bid Ask Price3 Price4", {q.Bid, q.Ask, q.Price3, q.Price4});
}

void CheckMerch(CFiniteCheck& check, const std::string& name, const CForexMerch& m) {
    check.Numbers(
        name,
        "ProfitFactor Value8 Value9 Value10 Value11 Value12 Value13 Value14 MinSpread Value16 "
        "PriceUnit ProfitDivisor Value20 FirstBid FirstAsk FirstPrice3 FirstPrice4 Value26 Value27 "
        "Value28 Value30 Value31 Value34 Value38 Value39 Value42 Value43 Value44 Value45 Value53 "
        "Value54 Value55 Value56 Value57 Value58 Value59 Value60",
        {m.ProfitFactor, m.Value8,   m.Value9,    m.Value10,     m.Value11,     m.Value12,
         m.Value13,      m.Value14,  m.MinSpread, m.Value16,     m.PriceUnit,   m.ProfitDivisor,
         m.Value20,      m.FirstBid, m.FirstAsk,  m.FirstPrice3, m.FirstPrice4, m.Value26,
         m.Value27,      m.Value28,  m.Value30,   m.Value31,     m.Value34,     m.Value38,
         m.Value39,      m.Value42,  m.Value43,   m.Value44,     m.Value45,     m.Value53,
         m.Value54,      m.Value55,  m.Value56,   m.Value57,     m.Value58,     m.Value59,
         m.Value60});
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
    check.Numbers("account", "Value18 Value19 Value22 Value38 Value39 Value42 Value44",
                  {a.Value18, a.Value19, a.Value22, a.Value38, a.Value39, a.Value42, a.Value44});
    for (INT_PTR i = 0; i < a.Funds.GetSize(); ++i) {
        const CFundInfo& f = a.Funds[i];
        check.Numbers(Element("account.Funds", i),
                      "Balance Value2 Value3 Value4 Value5 Value6 Value7 Value8 Value9 Value10 "
                      "Value11 Value12 Value13",
                      {f.Balance, f.Value2, f.Value3, f.Value4, f.Value5, f.Value6, f.Value7,
                       f.Value8, f.Value9, f.Value10, f.Value11, f.Value12, f.Value13});
    }
    CheckMerchs(check, "account.Merchs", a.Merchs);
}

void CheckBargains(CFiniteCheck& check, const CBargainArray& bargains) {
    for (INT_PTR i = 0; i < bargains.GetSize(); ++i) {
        const CBargain& b = bargains[i];
        check.Numbers(
            Element("bargains", i),
            "Lots Price TriggerPrice1 TriggerPrice2 Value16 Charge Credit Value19 Value20 Value21",
            {b.Lots, b.Price, b.TriggerPrice1, b.TriggerPrice2, b.Value16, b.Charge, b.Credit,
             b.Value19, b.Value20, b.Value21});
    }
}

void CheckOrders(CFiniteCheck& check, const COrderInfoArray& orders) {
    for (INT_PTR i = 0; i < orders.GetSize(); ++i) {
        const COrderInfo& o = orders[i];
        check.Numbers(Element("orders", i),
                      "Value14 Value15 Value16 TriggerPrice1 TriggerPrice2 Value19 Value20 Value21 "
                      "Value22 Value23 Value24 Value25 Value26 Value27 Value29 Value30 Value31",
                      {o.Value14, o.Value15, o.Value16, o.TriggerPrice1, o.TriggerPrice2, o.Value19,
                       o.Value20, o.Value21, o.Value22, o.Value23, o.Value24, o.Value25, o.Value26,
                       o.Value27, o.Value29, o.Value30, o.Value31});
    }
}

void CheckHistory(CFiniteCheck& check, const CHistoryOrderInfoArray& history) {
    for (INT_PTR i = 0; i < history.GetSize(); ++i) {
        const CHistoryOrderInfo& h = history[i];
        check.Numbers(Element("history", i),
                      "Lots OpenPrice OpenTriggerPrice2 OpenTriggerPrice1 ClosePrice Profit "
                      "Value23 Credit Charge Value26",
                      {h.Lots, h.OpenPrice, h.OpenTriggerPrice2, h.OpenTriggerPrice1, h.ClosePrice,
                       h.Profit, h.Value23, h.Credit, h.Charge, h.Value26});
    }
}

void CheckCurrencys(CFiniteCheck& check, const CCurrencyArray& currencys) {
    for (INT_PTR i = 0; i < currencys.GetSize(); ++i) {
        const CCurrency& c = currencys[i];
        check.Numbers(Element("currencys", i), "Value4 UsdRate Value7 Value8",
                      {c.Value4, c.UsdRate, c.Value7, c.Value8});
    }
}

void CheckBaseInfo(CFiniteCheck& check, const CBaseInfo& b) {
    check.Numbers("base",
                  "Value5 Value6 Value7 Value8 Value11 BaseRateSwitch Value13 Value14 Value15 "
                  "Value16 Value17 Value18 Value19 Value22 Value23 Value24 Value25 Value26 Value27 "
                  "Value28 Value29 Value30 Value31 Value32",
                  {b.Value5,  b.Value6,  b.Value7,  b.Value8,  b.Value11, b.BaseRateSwitch,
                   b.Value13, b.Value14, b.Value15, b.Value16, b.Value17, b.Value18,
                   b.Value19, b.Value22, b.Value23, b.Value24, b.Value25, b.Value26,
                   b.Value27, b.Value28, b.Value29, b.Value30, b.Value31, b.Value32});
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
    check.Numbers("broadcast", "Value2 Value3", {broadCast.Value2, broadCast.Value3});
    return check.Found();
}
