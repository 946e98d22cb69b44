#include "RecordingSink.h"

#include <cstdio>
#include <sstream>
#include "vocabulary/WideText.h"

namespace {

std::string Number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Plain text stays readable; control characters and anything outside ASCII show as escapes, so
// a log line never depends on the test machine's locale.
std::string Escape(const std::wstring& text) {
    std::string out;
    for (wchar_t ch : text) {
        const auto code = static_cast<unsigned long>(ch);
        if (code >= 0x20 && code < 0x7F && ch != L'\\') {
            out += static_cast<char>(ch);
            continue;
        }
        char escaped[16];
        std::snprintf(escaped, sizeof escaped, code < 0x100 ? "\\x%02lX" : "\\u%04lX", code);
        out += escaped;
    }
    return out;
}

template <class TYPE>
std::string DescribeList(const char* name, const CArray<TYPE, TYPE&>& list) {
    std::string line = std::string(name) + " n=" + std::to_string(list.GetSize()) + " [";
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        line += (i == 0 ? "" : ", ") + CRecordingSink::Describe(list[i]);
    }
    return line + "]";
}

}  // namespace

std::string CRecordingSink::Describe(const CString& text) {
    return Escape(ToStdWString(text));
}

std::string CRecordingSink::Describe(const CForexMerch& merch) {
    return Describe(merch.MerchCode) + " bid=" + Number(merch.RealtimePrice.Bid) +
           " ask=" + Number(merch.RealtimePrice.Ask) + " min=" + Number(merch.MinSpread);
}

std::string CRecordingSink::Describe(const CBargain& bargain) {
    std::string text = "#" + std::to_string(bargain.BargainNo) + " " + Describe(bargain.MerchCode);
    if (bargain.OpenBargainNo != 0) {
        text += " open=#" + std::to_string(bargain.OpenBargainNo);
    }
    return text + " in=" + std::to_string(bargain.InternalNo) +
           " dir=" + std::to_string(bargain.Direction) +
           " close=" + std::to_string(bargain.CloseFlag) + " lots=" + Number(bargain.Lots) +
           " price=" + Number(bargain.Price) + " tp=" + Number(bargain.TriggerPrice1) + "/" +
           Number(bargain.TriggerPrice2);
}

std::string CRecordingSink::Describe(const COrderInfo& order) {
    return "#" + std::to_string(order.OrderNo) + " " + Describe(order.MerchCode) +
           " kind=" + std::to_string(order.OrderKind) + " in=" + std::to_string(order.InternalNo) +
           " bargain=" + std::to_string(order.BargainNo) + " tp=" + Number(order.TriggerPrice1) +
           "/" + Number(order.TriggerPrice2);
}

std::string CRecordingSink::Describe(const CHistoryOrderInfo& line) {
    return "#" + std::to_string(line.BargainNo) + " open=#" + std::to_string(line.OpenBargainNo) +
           " " + Describe(line.MerchCode) + " lots=" + Number(line.Lots) +
           " profit=" + Number(line.Profit);
}

std::string CRecordingSink::Describe(const CCurrency& currency) {
    return Describe(currency.CurrencyCode) + " usd=" + Number(currency.UsdRate);
}

std::vector<std::string> CRecordingSink::Lines() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    std::vector<std::string> lines;
    lines.reserve(m_entries.size());
    for (const Entry& entry : m_entries) {
        lines.push_back(entry.line);
    }
    return lines;
}

std::vector<CRecordingSink::Entry> CRecordingSink::Entries() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_entries;
}

void CRecordingSink::Clear() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_entries.clear();
}

bool CRecordingSink::WaitFor(size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_logged.wait_for(lock, timeout, [&] { return m_entries.size() >= count; });
}

void CRecordingSink::SetOnEntry(std::function<void(const std::string&)> hook) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_onEntry = std::move(hook);
}

void CRecordingSink::Log(std::string line) {
    std::function<void(const std::string&)> hook;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_entries.push_back(Entry{line, std::this_thread::get_id()});
        hook = m_onEntry;
    }
    m_logged.notify_all();
    if (hook) {
        hook(line);
    }
}

void CRecordingSink::OnErrorCode(int code) {
    Log("OnErrorCode code=" + std::to_string(code));
}

void CRecordingSink::OnTextMessage(const CString& text) {
    Log("OnTextMessage \"" + Describe(text) + "\"");
}

void CRecordingSink::OnLoginReply() {
    Log("OnLoginReply");
}

void CRecordingSink::OnSpareA() {
    Log("OnSpareA");
}

void CRecordingSink::OnAccountInfo(CAccountInfo& account) {
    const double balance = account.Funds.IsEmpty() ? 0.0 : account.Funds[0].Balance;
    Log("OnAccountInfo " + Describe(account.AccountCode) +
        " funds=" + std::to_string(account.Funds.GetSize()) +
        " merchs=" + std::to_string(account.Merchs.GetSize()) +
        " internal=" + std::to_string(account.InternalNo) + " balance=" + Number(balance));
}

void CRecordingSink::OnCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) {
    Log(DescribeList("OnCurrencysInfo", currencys));
}

void CRecordingSink::OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) {
    Log(DescribeList("OnForexMerchs", merchs));
}

void CRecordingSink::OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) {
    Log(DescribeList("OnBargainsInfo", bargains));
}

void CRecordingSink::OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) {
    Log(DescribeList("OnOrdersInfo", orders));
}

void CRecordingSink::OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) {
    Log(DescribeList("OnHistoryOrderInfo", history));
}

void CRecordingSink::OnGroupInfo(CGroup& group) {
    Log("OnGroupInfo " + Describe(group.Value1));
}

void CRecordingSink::OnBaseInfo(CBaseInfo& baseInfo) {
    Log("OnBaseInfo " + Describe(baseInfo.Value1) + " switch=" + Number(baseInfo.BaseRateSwitch));
}

void CRecordingSink::OnBroadCast(CBroadCast& broadCast) {
    Log("OnBroadCast " + std::to_string(broadCast.Value1) + " " + Describe(broadCast.Value4));
}

void CRecordingSink::OnRealtimePrice(const CForexMerch& merch) {
    const CForexRealtimePrice& quote = merch.RealtimePrice;
    Log("OnRealtimePrice " + Describe(quote.MerchCode) + " bid=" + Number(quote.Bid) +
        " ask=" + Number(quote.Ask) + " stamp=" + Describe(quote.QuoteStamp) +
        " p3=" + Number(quote.Price3) + " p4=" + Number(quote.Price4));
}

void CRecordingSink::OnSocketError(unsigned long error) {
    Log("OnSocketError error=" + std::to_string(error));
}

void CRecordingSink::OnBargainOpened(const CBargain& b) {
    Log("OnBargainOpened " + Describe(b));
}
void CRecordingSink::OnOpenRefused(const COrderInfo& o) {
    Log("OnOpenRefused " + Describe(o));
}
void CRecordingSink::OnBargainClosed(const CBargain& b) {
    Log("OnBargainClosed " + Describe(b));
}
void CRecordingSink::OnCloseRefused(const COrderInfo& o) {
    Log("OnCloseRefused " + Describe(o));
}
void CRecordingSink::OnOrderAdded(const COrderInfo& o) {
    Log("OnOrderAdded " + Describe(o));
}
void CRecordingSink::OnOrderRefused(const COrderInfo& o) {
    Log("OnOrderRefused " + Describe(o));
}
void CRecordingSink::OnOrderChanged(const COrderInfo& o) {
    Log("OnOrderChanged " + Describe(o));
}
void CRecordingSink::OnChangeRefused(const COrderInfo& o) {
    Log("OnChangeRefused " + Describe(o));
}
void CRecordingSink::OnOrderDeleted(const COrderInfo& o) {
    Log("OnOrderDeleted " + Describe(o));
}
void CRecordingSink::OnDeleteRefused(const COrderInfo& o) {
    Log("OnDeleteRefused " + Describe(o));
}

void CRecordingSink::OnSpareB() {
    Log("OnSpareB");
}
