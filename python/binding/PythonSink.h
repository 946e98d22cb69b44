#pragma once
// A notification sink that turns each callback into one Python event: its callback name and a
// payload (a record dict, a list of them, a dict of the callback's numbers or text, or None).
// Callbacks come on the library's threads; each takes the GIL only for as long as it needs to
// build the payload and hand it to Deliver, and never lets an exception back into the library
// (a failing Deliver is reported as unraisable). Once Close has been called, or while the
// interpreter shuts down, callbacks return without touching Python.
//
// Threads: callbacks on any library thread; Close on any thread. The subclass owns what
// Deliver reaches; it must outlive every callback, so the connection that calls the sink is
// released before the sink is destroyed.

#include <pybind11/pybind11.h>
#include <tradewire/AbsForexNotify.h>

#include <atomic>

class CPythonSink : public CAbsForexNotify {
  public:
    void Close() { m_open.store(false); }
    bool IsOpen() const { return m_open.load(); }

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

  protected:
    CPythonSink() = default;
    ~CPythonSink() = default;
    // Called with the GIL held, on the thread of the callback.
    virtual void Deliver(const char* name, pybind11::object payload) = 0;

  private:
    template <class MakePayload>
    void Send(const char* name, const MakePayload& makePayload);

    std::atomic<bool> m_open{true};
};
