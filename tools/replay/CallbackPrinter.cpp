#include "CallbackPrinter.h"

#include <algorithm>

void CCallbackPrinter::SetPrefix(std::string prefix) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_prefix = std::move(prefix);
}

void CCallbackPrinter::Emit(const std::string& text) {
    std::lock_guard<std::mutex> guard(m_mutex);
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        m_output(m_prefix + text.substr(start, end - start));
        start = end + 1;
    }
}

template <typename Record>
void CCallbackPrinter::One(const char* name, const Record& record) {
    std::string text = name;
    RecordText::Append(text, record);
    Emit(text);
}

void CCallbackPrinter::OnErrorCode(int code) {
    Emit("OnErrorCode code=" + std::to_string(code));
}

void CCallbackPrinter::OnTextMessage(const CString& text) {
    std::string line = "OnTextMessage text=";
    RecordText::AppendText(line, text);
    Emit(line);
}

void CCallbackPrinter::OnLoginReply() {
    Emit("OnLoginReply");
}

void CCallbackPrinter::OnSpareA() {
    Emit("OnSpareA");
}

void CCallbackPrinter::OnAccountInfo(CAccountInfo& account) {
    std::string text = "OnAccountInfo";
    RecordText::Append(text, account);
    for (INT_PTR i = 0; i < account.Funds.GetSize(); ++i) {
        text += "\n  - fund";
        RecordText::Append(text, account.Funds.GetAt(i));
    }
    for (INT_PTR i = 0; i < account.Merchs.GetSize(); ++i) {
        text += "\n  - merch";
        RecordText::Append(text, account.Merchs.GetAt(i));
    }
    Emit(text);
}

void CCallbackPrinter::OnCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) {
    Emit(ListLines("OnCurrencysInfo", currencys));
}

void CCallbackPrinter::OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) {
    Emit(ListLines("OnForexMerchs", merchs));
}

void CCallbackPrinter::OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) {
    Emit(ListLines("OnBargainsInfo", bargains));
}

void CCallbackPrinter::OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) {
    Emit(ListLines("OnOrdersInfo", orders));
}

void CCallbackPrinter::OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) {
    Emit(ListLines("OnHistoryOrderInfo", history));
}

void CCallbackPrinter::OnGroupInfo(CGroup& group) {
    One("OnGroupInfo", group);
}

void CCallbackPrinter::OnBaseInfo(CBaseInfo& baseInfo) {
    One("OnBaseInfo", baseInfo);
}

void CCallbackPrinter::OnBroadCast(CBroadCast& broadCast) {
    One("OnBroadCast", broadCast);
}

void CCallbackPrinter::OnRealtimePrice(const CForexMerch& merch) {
    One("OnRealtimePrice", merch);
}

void CCallbackPrinter::OnSocketError(unsigned long error) {
    Emit("OnSocketError error=" + std::to_string(error));
}

void CCallbackPrinter::OnBargainOpened(const CBargain& bargain) {
    One("OnBargainOpened", bargain);
}

void CCallbackPrinter::OnOpenRefused(const COrderInfo& reply) {
    One("OnOpenRefused", reply);
}

void CCallbackPrinter::OnBargainClosed(const CBargain& closingDeal) {
    One("OnBargainClosed", closingDeal);
}

void CCallbackPrinter::OnCloseRefused(const COrderInfo& reply) {
    One("OnCloseRefused", reply);
}

void CCallbackPrinter::OnOrderAdded(const COrderInfo& order) {
    One("OnOrderAdded", order);
}

void CCallbackPrinter::OnOrderRefused(const COrderInfo& reply) {
    One("OnOrderRefused", reply);
}

void CCallbackPrinter::OnOrderChanged(const COrderInfo& order) {
    One("OnOrderChanged", order);
}

void CCallbackPrinter::OnChangeRefused(const COrderInfo& reply) {
    One("OnChangeRefused", reply);
}

void CCallbackPrinter::OnOrderDeleted(const COrderInfo& order) {
    One("OnOrderDeleted", order);
}

void CCallbackPrinter::OnDeleteRefused(const COrderInfo& reply) {
    One("OnDeleteRefused", reply);
}

void CCallbackPrinter::OnSpareB() {
    Emit("OnSpareB");
}
