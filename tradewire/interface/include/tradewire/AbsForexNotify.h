#pragma once
// The sink a terminal implements to hear from the library. The library never owns, copies or
// destroys a sink. Slot 0 (connection errors) runs on the thread that called ConnectServer,
// slot 14 on the send or receive thread; every other slot runs on the processing thread while
// it holds the receive-buffer lock and, for list and record callbacks, the lock of the store
// being written. References passed in are valid only during the call. A callback may call the
// data center's getters and send requests, but must not call DisConnect or ReleaseObj.

#include "tradewire/Records.h"
#include "tradewire/TradewireExport.h"

class TRADEWIRE_EXPORT CAbsForexNotify {
  public:
    CAbsForexNotify() = default;
    CAbsForexNotify(const CAbsForexNotify&) = default;
    CAbsForexNotify& operator=(const CAbsForexNotify&) = default;

    virtual void OnErrorCode(int code) = 0;                                      // 0
    virtual void OnTextMessage(const CString& text) = 0;                         // 1
    virtual void OnLoginReply() = 0;                                             // 2
    virtual void OnSpareA() = 0;                                                 // 3
    virtual void OnAccountInfo(CAccountInfo& account) = 0;                       // 4
    virtual void OnCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) = 0;  // 5
    virtual void OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) = 0;   // 6
    virtual void OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) = 0;      // 7
    virtual void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) = 0;      // 8
    virtual void OnHistoryOrderInfo(
        CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) = 0;  // 9
    virtual void OnGroupInfo(CGroup& group) = 0;                      // 10
    virtual void OnBaseInfo(CBaseInfo& baseInfo) = 0;                 // 11
    virtual void OnBroadCast(CBroadCast& broadCast) = 0;              // 12
    virtual void OnRealtimePrice(const CForexMerch& merch) = 0;       // 13
    virtual void OnSocketError(unsigned long error) = 0;              // 14
    virtual void OnBargainOpened(const CBargain& bargain) = 0;        // 15
    virtual void OnOpenRefused(const COrderInfo& reply) = 0;          // 16
    virtual void OnBargainClosed(const CBargain& closingDeal) = 0;    // 17
    virtual void OnCloseRefused(const COrderInfo& reply) = 0;         // 18
    virtual void OnOrderAdded(const COrderInfo& order) = 0;           // 19
    virtual void OnOrderRefused(const COrderInfo& reply) = 0;         // 20
    virtual void OnOrderChanged(const COrderInfo& order) = 0;         // 21
    virtual void OnChangeRefused(const COrderInfo& reply) = 0;        // 22
    virtual void OnOrderDeleted(const COrderInfo& order) = 0;         // 23
    virtual void OnDeleteRefused(const COrderInfo& reply) = 0;        // 24
    virtual void OnSpareB() = 0;                                      // 25

  protected:
    // Not virtual and not public: nobody deletes a sink through this interface.
    ~CAbsForexNotify() = default;
};
