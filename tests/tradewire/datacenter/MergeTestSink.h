#pragma once
// A sink for the merge tests: records every callback by slot number, keeps copies of what it
// was handed, and lets a test hook code into the callbacks the merges make.

#include <functional>
#include <stdexcept>
#include <vector>

#include <tradewire/ForexNotifyAdapter.h>
#include "datacenter/DataCenterAccess.h"

class CMergeTestSink : public CForexNotifyAdapter {
  public:
    std::vector<int> slots;
    CAccountInfo account;
    CBargainArray bargains;
    COrderInfoArray orders;
    CHistoryOrderInfoArray history;
    std::vector<CBargain> deals;        // slots 15 and 17
    std::vector<COrderInfo> orderArgs;  // slots 16 and 18 to 24

    std::function<void(const COrderInfo&)> onOrderAdded;
    std::function<void(CHistoryOrderInfoArray&)> onHistory;
    std::function<void(int slot)> onAny;  // after the slot is recorded
    int throwAtSlot = -1;

    void OnErrorCode(int) override { Record(0); }
    void OnTextMessage(const CString&) override { Record(1); }
    void OnLoginReply() override { Record(2); }
    void OnSpareA() override { Record(3); }
    void OnAccountInfo(CAccountInfo& a) override {
        account = a;
        Record(4);
    }
    void OnCurrencysInfo(CArray<CCurrency, CCurrency&>&) override { Record(5); }
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>&) override { Record(6); }
    void OnBargainsInfo(CArray<CBargain, CBargain&>& list) override {
        bargains = list;
        Record(7);
    }
    void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& list) override {
        orders = list;
        Record(8);
    }
    void OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& list) override {
        history = list;
        if (onHistory) {
            onHistory(list);
        }
        Record(9);
    }
    void OnGroupInfo(CGroup&) override { Record(10); }
    void OnBaseInfo(CBaseInfo&) override { Record(11); }
    void OnBroadCast(CBroadCast&) override { Record(12); }
    void OnRealtimePrice(const CForexMerch&) override { Record(13); }
    void OnSocketError(unsigned long) override { Record(14); }
    void OnBargainOpened(const CBargain& b) override { RecordDeal(15, b); }
    void OnOpenRefused(const COrderInfo& o) override { RecordOrder(16, o); }
    void OnBargainClosed(const CBargain& b) override { RecordDeal(17, b); }
    void OnCloseRefused(const COrderInfo& o) override { RecordOrder(18, o); }
    void OnOrderAdded(const COrderInfo& o) override {
        if (onOrderAdded) {
            onOrderAdded(o);
        }
        RecordOrder(19, o);
    }
    void OnOrderRefused(const COrderInfo& o) override { RecordOrder(20, o); }
    void OnOrderChanged(const COrderInfo& o) override { RecordOrder(21, o); }
    void OnChangeRefused(const COrderInfo& o) override { RecordOrder(22, o); }
    void OnOrderDeleted(const COrderInfo& o) override { RecordOrder(23, o); }
    void OnDeleteRefused(const COrderInfo& o) override { RecordOrder(24, o); }
    void OnSpareB() override { Record(25); }

  private:
    void Record(int slot) {
        slots.push_back(slot);
        if (onAny) {
            onAny(slot);
        }
        if (slot == throwAtSlot) {
            throw std::runtime_error("sink failure");
        }
    }
    void RecordDeal(int slot, const CBargain& b) {
        deals.push_back(b);
        Record(slot);
    }
    void RecordOrder(int slot, const COrderInfo& o) {
        orderArgs.push_back(o);
        Record(slot);
    }
};

// Builders that keep the tests to the fields they are about.
inline CBargain MakeBargain(int bargainNo, float lots, float price) {
    CBargain b;
    b.MerchCode = L"EURUSD";
    b.BargainNo = bargainNo;
    b.Lots = lots;
    b.Price = price;
    return b;
}

inline COrderInfo MakeOrder(int orderNo, int internalNo, int kind) {
    COrderInfo o;
    o.OrderNo = orderNo;
    o.InternalNo = internalNo;
    o.OrderKind = kind;
    return o;
}
