#include "RecordText.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Writes " Name=value" for one record's fields, in the form RecordText.h describes.
class CFieldWriter {
  public:
    explicit CFieldWriter(std::string& out, const char* prefix = "")
        : m_out(out), m_prefix(prefix) {}

    void Text(const char* name, const CString& value) {
        Name(name);
        RecordText::AppendText(m_out, value);
    }
    void Int(const char* name, long long value) {
        Name(name);
        m_out += std::to_string(value);
    }
    void Float(const char* name, float value) {
        Name(name);
        RecordText::AppendNumber(m_out, value);
    }
    void Float(const char* name, double value) {
        Name(name);
        RecordText::AppendNumber(m_out, value);
    }
    // A fixed-size field of texts or numbers, as one comma-separated value.
    template <class Value, size_t N>
    void List(const char* name, const Value (&values)[N]) {
        Name(name);
        for (size_t i = 0; i < N; ++i) {
            m_out += i == 0 ? "" : ",";
            Element(values[i]);
        }
    }

  private:
    void Element(const CString& value) { RecordText::AppendText(m_out, value); }
    void Element(float value) { RecordText::AppendNumber(m_out, value); }
    void Name(const char* name) {
        m_out += ' ';
        m_out += m_prefix;
        m_out += name;
        m_out += '=';
    }

    std::string& m_out;
    const char* m_prefix;
};

}  // namespace

namespace RecordText {

void AppendText(std::string& out, const CString& text) {
    for (int i = 0; i < text.GetLength(); ++i) {
        const auto ch = static_cast<unsigned long>(text.GetAt(i));
        if (ch > 0x20 && ch < 0x7F && ch != '\\' && ch != ',') {
            out += static_cast<char>(ch);
            continue;
        }
        char escaped[16];
        (void)std::snprintf(escaped, sizeof escaped, ch > 0xFFFF ? "\\U%08lX" : "\\u%04lX", ch);
        out += escaped;
    }
}

namespace {

// The fewest significant digits (at least six) that read back as the same value, so 1.2003f
// shows as 1.2003 and not as the float's full binary expansion. Runs in the "C" locale the tool
// keeps.
template <typename Number>
void AppendShortest(std::string& out, Number value, int most) {
    char text[48];
    for (int digits = 6; digits <= most; ++digits) {
        (void)std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (static_cast<Number>(std::strtod(text, nullptr)) == value) {
            break;
        }
    }
    out += text;
}

}  // namespace

void AppendNumber(std::string& out, float value) {
    AppendShortest(out, value, 9);
}

void AppendNumber(std::string& out, double value) {
    AppendShortest(out, value, 17);
}

void Append(std::string& out, const CForexRealtimePrice& record, const char* prefix) {
    CFieldWriter write(out, prefix);
    write.Text("MerchCode", record.MerchCode);
    write.Float("Bid", record.Bid);
    write.Float("Ask", record.Ask);
    write.Float("Price3", record.Price3);
    write.Float("Price4", record.Price4);
    write.Text("QuoteStamp", record.QuoteStamp);
}

void Append(std::string& out, const CForexMerch& record) {
    CFieldWriter write(out);
    write.Text("MerchCode", record.MerchCode);
    write.Int("MerchNo", record.MerchNo);
    write.Text("MerchName", record.MerchName);
    write.Int("Value4", record.Value4);
    write.Int("Value5", record.Value5);
    write.Int("Value6", record.Value6);
    write.Float("ProfitFactor", record.ProfitFactor);
    write.Float("Value8", record.Value8);
    write.Float("Value9", record.Value9);
    write.Float("Value10", record.Value10);
    write.Float("Value11", record.Value11);
    write.Float("Value12", record.Value12);
    write.Float("Value13", record.Value13);
    write.Float("Value14", record.Value14);
    write.Float("MinSpread", record.MinSpread);
    write.Float("Value16", record.Value16);
    write.Int("Value17", record.Value17);
    write.Float("PriceUnit", record.PriceUnit);
    write.Float("ProfitDivisor", record.ProfitDivisor);
    write.Float("Value20", record.Value20);
    write.Int("Value21", record.Value21);
    write.Float("FirstBid", record.FirstBid);
    write.Float("FirstAsk", record.FirstAsk);
    write.Float("FirstPrice3", record.FirstPrice3);
    write.Float("FirstPrice4", record.FirstPrice4);
    write.Float("Value26", record.Value26);
    write.Float("Value27", record.Value27);
    write.Float("Value28", record.Value28);
    write.Text("Value29", record.Value29);
    write.Float("Value30", record.Value30);
    write.Float("Value31", record.Value31);
    write.Text("Value32", record.Value32);
    write.Int("Value33", record.Value33);
    write.Float("Value34", record.Value34);
    write.Int("Value35", record.Value35);
    write.Int("Value36", record.Value36);
    write.List("Value37", record.Value37);
    write.Float("Value38", record.Value38);
    write.Float("Value39", record.Value39);
    write.Int("Value40", record.Value40);
    write.Text("Value41", record.Value41);
    write.Float("Value42", record.Value42);
    write.Float("Value43", record.Value43);
    write.Float("Value44", record.Value44);
    write.Float("Value45", record.Value45);
    write.List("Value46", record.Value46);
    write.Int("Value47", record.Value47);
    write.Int("Value48", record.Value48);
    write.Int("Value49", record.Value49);
    write.Int("Value50", record.Value50);
    write.Int("Value51", record.Value51);
    write.Int("Value52", record.Value52);
    write.Float("Value53", record.Value53);
    write.Float("Value54", record.Value54);
    write.Float("Value55", record.Value55);
    write.Float("Value56", record.Value56);
    write.Float("Value57", record.Value57);
    write.Float("Value58", record.Value58);
    write.Float("Value59", record.Value59);
    write.Float("Value60", record.Value60);
    Append(out, record.RealtimePrice, "RealtimePrice.");
}

void Append(std::string& out, const COrderInfo& record) {
    CFieldWriter write(out);
    write.Text("AccountCode", record.AccountCode);
    write.Text("MerchCode", record.MerchCode);
    write.Text("Value3", record.Value3);
    write.Int("InternalNo", record.InternalNo);
    write.Text("Value5", record.Value5);
    write.Int("OrderNo", record.OrderNo);
    write.Int("BargainNo", record.BargainNo);
    write.Int("OrderKind", record.OrderKind);
    write.Text("Value9", record.Value9);
    write.Int("Value10", record.Value10);
    write.Int("Value11", record.Value11);
    write.Int("Value12", record.Value12);
    write.Int("CloseFlag", record.CloseFlag);
    write.Float("Value14", record.Value14);
    write.Float("Value15", record.Value15);
    write.Float("Value16", record.Value16);
    write.Float("TriggerPrice1", record.TriggerPrice1);
    write.Float("TriggerPrice2", record.TriggerPrice2);
    write.Float("Value19", record.Value19);
    write.Float("Value20", record.Value20);
    write.Float("Value21", record.Value21);
    write.Float("Value22", record.Value22);
    write.Float("Value23", record.Value23);
    write.Float("Value24", record.Value24);
    write.Float("Value25", record.Value25);
    write.Float("Value26", record.Value26);
    write.Float("Value27", record.Value27);
    write.Text("Value28", record.Value28);
    write.Float("Value29", record.Value29);
    write.Float("Value30", record.Value30);
    write.Float("Value31", record.Value31);
}

void Append(std::string& out, const CBargain& record) {
    CFieldWriter write(out);
    write.Text("Value1", record.Value1);
    write.Text("MerchCode", record.MerchCode);
    write.Text("Value3", record.Value3);
    write.Text("Value4", record.Value4);
    write.Int("BargainNo", record.BargainNo);
    write.Int("OpenBargainNo", record.OpenBargainNo);
    write.Int("InternalNo", record.InternalNo);
    write.Text("Value8", record.Value8);
    write.Text("Value9", record.Value9);
    write.Int("Direction", record.Direction);
    write.Int("CloseFlag", record.CloseFlag);
    write.Float("Lots", record.Lots);
    write.Float("Price", record.Price);
    write.Float("TriggerPrice1", record.TriggerPrice1);
    write.Float("TriggerPrice2", record.TriggerPrice2);
    write.Float("Value16", record.Value16);
    write.Float("Charge", record.Charge);
    write.Float("Credit", record.Credit);
    write.Float("Value19", record.Value19);
    write.Float("Value20", record.Value20);
    write.Float("Value21", record.Value21);
}

void Append(std::string& out, const CHistoryOrderInfo& record) {
    CFieldWriter write(out);
    write.Text("Value1", record.Value1);
    write.Text("Value2", record.Value2);
    write.Text("MerchCode", record.MerchCode);
    write.Float("Lots", record.Lots);
    write.Text("Value5", record.Value5);
    write.Text("Value6", record.Value6);
    write.Int("OpenBargainNo", record.OpenBargainNo);
    write.Int("OpenInternalNo", record.OpenInternalNo);
    write.Text("Value9", record.Value9);
    write.Text("Value10", record.Value10);
    write.Int("Direction", record.Direction);
    write.Float("OpenPrice", record.OpenPrice);
    write.Float("OpenTriggerPrice2", record.OpenTriggerPrice2);
    write.Float("OpenTriggerPrice1", record.OpenTriggerPrice1);
    write.Text("Value15", record.Value15);
    write.Text("Value16", record.Value16);
    write.Int("BargainNo", record.BargainNo);
    write.Int("InternalNo", record.InternalNo);
    write.Text("Value19", record.Value19);
    write.Text("Value20", record.Value20);
    write.Float("ClosePrice", record.ClosePrice);
    write.Float("Profit", record.Profit);
    write.Float("Value23", record.Value23);
    write.Float("Credit", record.Credit);
    write.Float("Charge", record.Charge);
    write.Float("Value26", record.Value26);
}

void Append(std::string& out, const CCurrency& record) {
    CFieldWriter write(out);
    write.Text("CurrencyCode", record.CurrencyCode);
    write.Text("Value2", record.Value2);
    write.Text("Value3", record.Value3);
    write.Float("Value4", record.Value4);
    write.Float("UsdRate", record.UsdRate);
    write.Int("Value6", record.Value6);
    write.Float("Value7", record.Value7);
    write.Float("Value8", record.Value8);
}

void Append(std::string& out, const CBroadCast& record) {
    CFieldWriter write(out);
    write.Int("Value1", record.Value1);
    write.Float("Value2", record.Value2);
    write.Float("Value3", record.Value3);
    write.Text("Value4", record.Value4);
    write.Text("Value5", record.Value5);
    write.Text("Value6", record.Value6);
    write.Text("Value7", record.Value7);
    write.Text("Value8", record.Value8);
}

void Append(std::string& out, const CGroup& record) {
    CFieldWriter write(out);
    write.Text("Value1", record.Value1);
    write.Int("Value2", record.Value2);
    write.Text("Value3", record.Value3);
    write.Text("Value4", record.Value4);
    write.Int("Value5", record.Value5);
    write.Float("Value6", record.Value6);
    write.Int("Value7", record.Value7);
    write.List("Value8", record.Value8);
}

void Append(std::string& out, const CBaseInfo& record) {
    CFieldWriter write(out);
    write.Text("Value1", record.Value1);
    write.List("Value2", record.Value2);
    write.Text("Value3", record.Value3);
    write.List("Value4", record.Value4);
    write.Float("Value5", record.Value5);
    write.Float("Value6", record.Value6);
    write.Float("Value7", record.Value7);
    write.Float("Value8", record.Value8);
    write.Text("Value9", record.Value9);
    write.Int("Value10", record.Value10);
    write.Float("Value11", record.Value11);
    write.Float("BaseRateSwitch", record.BaseRateSwitch);
    write.Float("Value13", record.Value13);
    write.Float("Value14", record.Value14);
    write.Float("Value15", record.Value15);
    write.Float("Value16", record.Value16);
    write.Float("Value17", record.Value17);
    write.Float("Value18", record.Value18);
    write.Float("Value19", record.Value19);
    write.Int("Value20", record.Value20);
    write.Text("Value21", record.Value21);
    write.Float("Value22", record.Value22);
    write.Float("Value23", record.Value23);
    write.Float("Value24", record.Value24);
    write.Float("Value25", record.Value25);
    write.Float("Value26", record.Value26);
    write.Float("Value27", record.Value27);
    write.Float("Value28", record.Value28);
    write.Float("Value29", record.Value29);
    write.Float("Value30", record.Value30);
    write.Float("Value31", record.Value31);
    write.Float("Value32", record.Value32);
}

void Append(std::string& out, const CFundInfo& record) {
    CFieldWriter write(out);
    write.Float("Balance", record.Balance);
    write.Float("Value2", record.Value2);
    write.Float("Value3", record.Value3);
    write.Float("Value4", record.Value4);
    write.Float("Value5", record.Value5);
    write.Float("Value6", record.Value6);
    write.Float("Value7", record.Value7);
    write.Float("Value8", record.Value8);
    write.Float("Value9", record.Value9);
    write.Float("Value10", record.Value10);
    write.Float("Value11", record.Value11);
    write.Float("Value12", record.Value12);
    write.Float("Value13", record.Value13);
    write.Text("Value14", record.Value14);
}

void Append(std::string& out, const CAccountInfo& record) {
    CFieldWriter write(out);
    write.Text("AccountCode", record.AccountCode);
    write.Text("Value2", record.Value2);
    write.Text("Value3", record.Value3);
    write.Text("Value4", record.Value4);
    write.Text("Value5", record.Value5);
    write.Text("Value6", record.Value6);
    write.Text("Value7", record.Value7);
    write.Text("Value8", record.Value8);
    write.Text("Value9", record.Value9);
    write.Text("Value10", record.Value10);
    write.Text("Value11", record.Value11);
    write.Int("Value12", record.Value12);
    write.Int("Value13", record.Value13);
    write.Int("Value14", record.Value14);
    write.Int("Value15", record.Value15);
    write.Text("Value16", record.Value16);
    write.Int("Value17", record.Value17);
    write.Float("Value18", record.Value18);
    write.Float("Value19", record.Value19);
    write.Int("Value20", record.Value20);
    write.Int("Value21", record.Value21);
    write.Float("Value22", record.Value22);
    write.Int("Value23", record.Value23);
    write.Text("Value24", record.Value24);
    write.Text("Value25", record.Value25);
    write.Text("Value26", record.Value26);
    write.Text("Value27", record.Value27);
    write.Text("Value28", record.Value28);
    write.Text("Value29", record.Value29);
    write.Text("Value30", record.Value30);
    write.Text("Value31", record.Value31);
    write.Text("Value32", record.Value32);
    write.Text("Value33", record.Value33);
    write.Text("Value34", record.Value34);
    write.Int("Value35", record.Value35);
    write.Int("Value36", record.Value36);
    write.Int("Value37", record.Value37);
    write.Float("Value38", record.Value38);
    write.Float("Value39", record.Value39);
    write.Text("Value40", record.Value40);
    write.Text("Value41", record.Value41);
    write.Float("Value42", record.Value42);
    write.Int("Value43", record.Value43);
    write.Float("Value44", record.Value44);
    write.Int("InternalNo", record.InternalNo);
    write.Int("Funds", static_cast<int>(record.Funds.GetSize()));
    write.Int("Merchs", static_cast<int>(record.Merchs.GetSize()));
}

}  // namespace RecordText
