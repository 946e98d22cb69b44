#pragma once
// A sink base for sinks that treat every callback alike (write it down, print it, hand it to
// another language): it turns the 26 callbacks into calls of four handlers of the derived sink,
// each given the callback's own name ("OnBargainOpened"). Derive as
//   class CMySink : public CCallbackForwarder<CMySink>
// and provide, reachable from the forwarder (public, or the forwarder made a friend):
//   OnPlain(const char* name)                          OnLoginReply, OnSpareA, OnSpareB
//   OnValue(const char* name, const char* field, v)    OnErrorCode ("code", int),
//                                                      OnSocketError ("error", unsigned long),
//                                                      OnTextMessage ("text", const CString&)
//   OnRecord(const char* name, const Record& r)        the account, group, base-info and
//                                                      broadcast records, a quote's instrument,
//                                                      one bargain or order
//   OnList(const char* name, const CArray<R, R&>& l)   the currency, instrument, bargain, order
//                                                      and history lists
// Templates or overloads both do; a sink may still override a callback itself to treat it
// apart. The handlers run where the callback runs (CAbsForexNotify names the threads) and see
// the callback's arguments read-only. Internal to the repository: never installed.

#include <tradewire/ForexNotifyAdapter.h>

template <class Sink>
class CCallbackForwarder : public CForexNotifyAdapter {
  public:
    void OnErrorCode(int code) override { Self().OnValue("OnErrorCode", "code", code); }
    void OnTextMessage(const CString& text) override {
        Self().OnValue("OnTextMessage", "text", text);
    }
    void OnLoginReply() override { Self().OnPlain("OnLoginReply"); }
    void OnSpareA() override { Self().OnPlain("OnSpareA"); }
    void OnAccountInfo(CAccountInfo& account) override {
        Self().OnRecord("OnAccountInfo", static_cast<const CAccountInfo&>(account));
    }
    void OnCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) override {
        Self().OnList("OnCurrencysInfo", Const(currencys));
    }
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) override {
        Self().OnList("OnForexMerchs", Const(merchs));
    }
    void OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) override {
        Self().OnList("OnBargainsInfo", Const(bargains));
    }
    void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) override {
        Self().OnList("OnOrdersInfo", Const(orders));
    }
    void OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) override {
        Self().OnList("OnHistoryOrderInfo", Const(history));
    }
    void OnGroupInfo(CGroup& group) override {
        Self().OnRecord("OnGroupInfo", static_cast<const CGroup&>(group));
    }
    void OnBaseInfo(CBaseInfo& baseInfo) override {
        Self().OnRecord("OnBaseInfo", static_cast<const CBaseInfo&>(baseInfo));
    }
    void OnBroadCast(CBroadCast& broadCast) override {
        Self().OnRecord("OnBroadCast", static_cast<const CBroadCast&>(broadCast));
    }
    void OnRealtimePrice(const CForexMerch& merch) override {
        Self().OnRecord("OnRealtimePrice", merch);
    }
    void OnSocketError(unsigned long error) override {
        Self().OnValue("OnSocketError", "error", error);
    }
    void OnBargainOpened(const CBargain& bargain) override {
        Self().OnRecord("OnBargainOpened", bargain);
    }
    void OnOpenRefused(const COrderInfo& reply) override {
        Self().OnRecord("OnOpenRefused", reply);
    }
    void OnBargainClosed(const CBargain& closingDeal) override {
        Self().OnRecord("OnBargainClosed", closingDeal);
    }
    void OnCloseRefused(const COrderInfo& reply) override {
        Self().OnRecord("OnCloseRefused", reply);
    }
    void OnOrderAdded(const COrderInfo& order) override { Self().OnRecord("OnOrderAdded", order); }
    void OnOrderRefused(const COrderInfo& reply) override {
        Self().OnRecord("OnOrderRefused", reply);
    }
    void OnOrderChanged(const COrderInfo& order) override {
        Self().OnRecord("OnOrderChanged", order);
    }
    void OnChangeRefused(const COrderInfo& reply) override {
        Self().OnRecord("OnChangeRefused", reply);
    }
    void OnOrderDeleted(const COrderInfo& order) override {
        Self().OnRecord("OnOrderDeleted", order);
    }
    void OnDeleteRefused(const COrderInfo& reply) override {
        Self().OnRecord("OnDeleteRefused", reply);
    }
    void OnSpareB() override { Self().OnPlain("OnSpareB"); }

  protected:
    CCallbackForwarder() = default;
    ~CCallbackForwarder() = default;

  private:
    Sink& Self() { return static_cast<Sink&>(*this); }
    // The library hands out its live stores; a handler only reads them.
    template <class Record>
    static const CArray<Record, Record&>& Const(CArray<Record, Record&>& list) {
        return list;
    }
};
