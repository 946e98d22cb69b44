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
    // No arguments.
    void OnLoginReply() override { Self().OnPlain("OnLoginReply"); }
    void OnSpareA() override { Self().OnPlain("OnSpareA"); }
    void OnSpareB() override { Self().OnPlain("OnSpareB"); }
    // A number or a text.
    void OnErrorCode(int code) override { Self().OnValue("OnErrorCode", "code", code); }
    void OnSocketError(unsigned long e) override { Self().OnValue("OnSocketError", "error", e); }
    void OnTextMessage(const CString& t) override { Self().OnValue("OnTextMessage", "text", t); }
    // A store's single record, or an instrument with its new quote.
    void OnAccountInfo(CAccountInfo& a) override { Self().OnRecord("OnAccountInfo", a); }
    void OnGroupInfo(CGroup& group) override { Self().OnRecord("OnGroupInfo", group); }
    void OnBaseInfo(CBaseInfo& baseInfo) override { Self().OnRecord("OnBaseInfo", baseInfo); }
    void OnBroadCast(CBroadCast& b) override { Self().OnRecord("OnBroadCast", b); }
    void OnRealtimePrice(const CForexMerch& m) override { Self().OnRecord("OnRealtimePrice", m); }
    // A list store, refilled or changed.
    void OnCurrencysInfo(CCurrencyArray& l) override { Self().OnList("OnCurrencysInfo", l); }
    void OnForexMerchs(CForexMerchArray& l) override { Self().OnList("OnForexMerchs", l); }
    void OnBargainsInfo(CBargainArray& l) override { Self().OnList("OnBargainsInfo", l); }
    void OnOrdersInfo(COrderInfoArray& l) override { Self().OnList("OnOrdersInfo", l); }
    void OnHistoryOrderInfo(CHistoryOrderInfoArray& l) override {
        Self().OnList("OnHistoryOrderInfo", l);
    }
    // A deal, or a committed request carried out.
    void OnBargainOpened(const CBargain& b) override { Self().OnRecord("OnBargainOpened", b); }
    void OnBargainClosed(const CBargain& b) override { Self().OnRecord("OnBargainClosed", b); }
    void OnOrderAdded(const COrderInfo& o) override { Self().OnRecord("OnOrderAdded", o); }
    void OnOrderChanged(const COrderInfo& o) override { Self().OnRecord("OnOrderChanged", o); }
    void OnOrderDeleted(const COrderInfo& o) override { Self().OnRecord("OnOrderDeleted", o); }
    // A committed request refused: the server's reply.
    void OnOpenRefused(const COrderInfo& r) override { Self().OnRecord("OnOpenRefused", r); }
    void OnCloseRefused(const COrderInfo& r) override { Self().OnRecord("OnCloseRefused", r); }
    void OnOrderRefused(const COrderInfo& r) override { Self().OnRecord("OnOrderRefused", r); }
    void OnChangeRefused(const COrderInfo& r) override { Self().OnRecord("OnChangeRefused", r); }
    void OnDeleteRefused(const COrderInfo& r) override { Self().OnRecord("OnDeleteRefused", r); }

  protected:
    CCallbackForwarder() = default;
    ~CCallbackForwarder() = default;

  private:
    Sink& Self() { return static_cast<Sink&>(*this); }
};
