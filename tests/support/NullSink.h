#pragma once
// A sink that ignores every callback. Test, benchmark and fuzzing sinks derive from it and
// override only the callbacks they look at, so a new slot in the interface costs one line here.
// Stateless: safe on any thread. Header-only, so the benchmarks and fuzzers can use it without
// linking the test helpers.

#include "tradewire/AbsForexNotify.h"

class CNullSink : public CAbsForexNotify {
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
};
