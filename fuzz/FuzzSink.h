#pragma once
// The sink the protocol fuzzers hand to the data center. It behaves like a busy terminal: every
// callback reads the store it was told about and a few others through the getters, and builds a
// request the way a terminal would send one from a callback (with no connection the protocol
// object only frames it). It also keeps a transcript of what it heard, so two runs over the
// same bytes can be compared. Used on the fuzzer's one thread; owns nothing. The spare slots
// and socket errors are left to the base: nothing the fuzzers drive ever calls them.

#include <string>

#include <tradewire/ForexNotifyAdapter.h>
#include "protocol/ForexProtocol.h"

class CFuzzSink : public CForexNotifyAdapter {
  public:
    explicit CFuzzSink(CForexProtocol& protocol) : m_protocol(protocol) {}
    ~CFuzzSink() = default;
    CFuzzSink(const CFuzzSink&) = delete;
    CFuzzSink& operator=(const CFuzzSink&) = delete;

    void OnErrorCode(int code) override;
    void OnTextMessage(const CString& text) override;
    void OnLoginReply() override;
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

    // Every callback with its key values, then (after NoteStores) what the stores hold.
    const std::string& Transcript() const { return m_transcript; }
    void NoteStores();

  private:
    void ReadEveryStore();
    void CommitLike(const COrderInfo& order);
    void CloseBargain(const CBargain& bargain);
    void SendAgain(int slot, const COrderInfo& order);
    template <class RECORD>
    void LookAround(int slot, const RECORD& record);
    void AskHistory();
    void Note(int slot);
    void Note(const CString& text);
    void Note(double value);
    void Note(const CBargain& bargain);
    void Note(const COrderInfo& order);
    template <class RECORD>
    void Note(const CArray<RECORD, RECORD&>& list);
    void NoteFrame(const std::string& frame);

    CForexProtocol& m_protocol;
    std::string m_transcript;
};
