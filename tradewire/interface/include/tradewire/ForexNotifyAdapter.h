#pragma once
// A sink whose every callback does nothing, for terminals that listen to a few slots only:
// derive from it and override what you use. Header-only and inline, so nothing of it is
// exported and a terminal's own build compiles it. The threading rules are those of
// CAbsForexNotify; the empty bodies touch no state, so any thread may run them.

#include "tradewire/AbsForexNotify.h"

class CForexNotifyAdapter : public CAbsForexNotify {
  public:
    void OnErrorCode(int) override {}
    void OnTextMessage(const CString&) override {}
    void OnLoginReply() override {}
    void OnSpareA() override {}
    void OnAccountInfo(CAccountInfo&) override {}
    void OnCurrencysInfo(CArray<CCurrency, CCurrency&>&) override {}
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>&) override {}
    void OnBargainsInfo(CArray<CBargain, CBargain&>&) override {}
    void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>&) override {}
    void OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>&) override {}
    void OnGroupInfo(CGroup&) override {}
    void OnBaseInfo(CBaseInfo&) override {}
    void OnBroadCast(CBroadCast&) override {}
    void OnRealtimePrice(const CForexMerch&) override {}
    void OnSocketError(unsigned long) override {}
    void OnBargainOpened(const CBargain&) override {}
    void OnOpenRefused(const COrderInfo&) override {}
    void OnBargainClosed(const CBargain&) override {}
    void OnCloseRefused(const COrderInfo&) override {}
    void OnOrderAdded(const COrderInfo&) override {}
    void OnOrderRefused(const COrderInfo&) override {}
    void OnOrderChanged(const COrderInfo&) override {}
    void OnChangeRefused(const COrderInfo&) override {}
    void OnOrderDeleted(const COrderInfo&) override {}
    void OnDeleteRefused(const COrderInfo&) override {}
    void OnSpareB() override {}

  protected:
    // As for the interface: a sink is never deleted through its base.
    ~CForexNotifyAdapter() = default;
};
