#pragma once
// A sink that turns every callback into text lines, the replay's output form (README, "Capture
// and replay"). Also used by tests on a live connection, so a live session and its replay can
// be compared line by line. Thread-safe: callbacks may come from any thread; each callback's
// lines are handed on together, under the printer's lock, in the order the calls came.
//
//   <callback> [<fields>]                one line per callback, e.g.
//     OnErrorCode code=101
//     OnTextMessage text=Logged\u0020out:\u0020demo
//     OnBargainOpened BargainNo=7 ...    (a record's fields as RecordText writes them)
//     OnForexMerchs n=2                  (a list: its size, then one line per record:)
//       - MerchCode=EURUSD MerchNo=1 ...
//   OnAccountInfo is followed by its fund lines and its instruments as list lines.

#include <tradewire/Tradewire.h>

#include <functional>
#include <mutex>
#include <string>

#include "RecordText.h"

class CCallbackPrinter : public CForexNotifyAdapter {
  public:
    using Output = std::function<void(const std::string& line)>;

    explicit CCallbackPrinter(Output output) : m_output(std::move(output)) {}
    CCallbackPrinter(const CCallbackPrinter&) = delete;
    CCallbackPrinter& operator=(const CCallbackPrinter&) = delete;
    ~CCallbackPrinter() = default;

    // Put before every line from now on (the replay's --pace time); empty for none.
    void SetPrefix(std::string prefix);

    void OnErrorCode(int code) override;
    void OnTextMessage(const CString& text) override;
    void OnLoginReply() override;
    void OnSpareA() override;
    void OnAccountInfo(CAccountInfo& account) override;
    void OnCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) override;
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) override;
    void OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) override;
    void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) override;
    void OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) override;
    void OnGroupInfo(CGroup& group) override;
    void OnBaseInfo(CBaseInfo& baseInfo) override;
    void OnBroadCast(CBroadCast& broadCast) override;
    void OnRealtimePrice(const CForexMerch& merch) override;
    void OnSocketError(unsigned long error) override;
    void OnBargainOpened(const CBargain& bargain) override;
    void OnOpenRefused(const COrderInfo& reply) override;
    void OnBargainClosed(const CBargain& closingDeal) override;
    void OnCloseRefused(const COrderInfo& reply) override;
    void OnOrderAdded(const COrderInfo& order) override;
    void OnOrderRefused(const COrderInfo& reply) override;
    void OnOrderChanged(const COrderInfo& order) override;
    void OnChangeRefused(const COrderInfo& reply) override;
    void OnOrderDeleted(const COrderInfo& order) override;
    void OnDeleteRefused(const COrderInfo& reply) override;
    void OnSpareB() override;

    // The list form above, for the replay's --stores.
    template <typename Record>
    static std::string ListLines(const char* name, const CArray<Record, Record&>& records);

  private:
    void Emit(const std::string& text);
    template <typename Record>
    void One(const char* name, const Record& record);

    std::mutex m_mutex;
    Output m_output;       // called under m_mutex
    std::string m_prefix;  // guarded by m_mutex
};

template <typename Record>
std::string CCallbackPrinter::ListLines(const char* name, const CArray<Record, Record&>& records) {
    std::string text = std::string(name) + " n=" + std::to_string(records.GetSize());
    for (INT_PTR i = 0; i < records.GetSize(); ++i) {
        text += "\n  -";
        RecordText::Append(text, records.GetAt(i));
    }
    return text;
}
