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

std::string CRecordingSink::Describe(const CAccountInfo& account) {
    const double balance = account.Funds.IsEmpty() ? 0.0 : account.Funds[0].Balance;
    return Describe(account.AccountCode) + " funds=" + std::to_string(account.Funds.GetSize()) +
           " merchs=" + std::to_string(account.Merchs.GetSize()) +
           " internal=" + std::to_string(account.InternalNo) + " balance=" + Number(balance);
}

std::string CRecordingSink::Describe(const CGroup& group) {
    return Describe(group.Value1);
}

std::string CRecordingSink::Describe(const CBaseInfo& baseInfo) {
    return Describe(baseInfo.Value1) + " switch=" + Number(baseInfo.BaseRateSwitch);
}

std::string CRecordingSink::Describe(const CBroadCast& broadCast) {
    return std::to_string(broadCast.Value1) + " " + Describe(broadCast.Value4);
}

std::string CRecordingSink::Describe(const CForexRealtimePrice& quote) {
    return Describe(quote.MerchCode) + " bid=" + Number(quote.Bid) + " ask=" + Number(quote.Ask) +
           " stamp=" + Describe(quote.QuoteStamp) + " p3=" + Number(quote.Price3) +
           " p4=" + Number(quote.Price4);
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

void CRecordingSink::OnPlain(const char* name) {
    Log(name);
}

// Quoted, so that leading and trailing spaces show.
void CRecordingSink::OnValue(const char* name, const char*, const CString& text) {
    Log(std::string(name) + " \"" + Describe(text) + "\"");
}

void CRecordingSink::OnRealtimePrice(const CForexMerch& merch) {
    OnRecord("OnRealtimePrice", merch.RealtimePrice);
}
