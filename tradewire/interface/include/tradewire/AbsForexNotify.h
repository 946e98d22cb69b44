#pragma once
// The sink a terminal implements to hear from the library. The library never owns, copies or
// destroys a sink. Slot 0 (connection errors) runs on the thread that called ConnectServer,
// slot 14 on the send or receive thread; every other slot runs on the processing thread while
// it holds the receive-buffer lock and, for list and record callbacks, the lock of the store
// being written. Every argument is the library's live store or a temporary: valid only during
// the call and only for reading; copy what you keep. A callback may call the data center's
// getters and send requests, but must not call DisConnect or ReleaseObj.

#include "tradewire/Records.h"
#include "tradewire/TradewireExport.h"

// The order of the virtual functions is the binary interface; never reorder.
class TRADEWIRE_EXPORT CAbsForexNotify {
  public:
    CAbsForexNotify() = default;
    CAbsForexNotify(const CAbsForexNotify&) = default;
    CAbsForexNotify& operator=(const CAbsForexNotify&) = default;

    // An E_ErrorCode: from a failed ConnectServer (on the thread that called it), or the
    // number of the server's error report, message 9999 (processing thread).
    virtual void OnErrorCode(int code) = 0;  // 0
    // A text notice from the server (9002), the whole body. Processing thread.
    virtual void OnTextMessage(const CString& text) = 0;  // 1
    // The server answered the login (8000). Processing thread.
    virtual void OnLoginReply() = 0;  // 2
    // Never called by the library.
    virtual void OnSpareA() = 0;  // 3
    // The account store after message 9501 filled it, or after a closed position changed the
    // fund balance. Live store, under its lock; processing thread.
    virtual void OnAccountInfo(CAccountInfo& account) = 0;  // 4
    // The currency list after 9505 refilled it. Live store; processing thread.
    virtual void OnCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) = 0;  // 5
    // The instrument list after 9511 refilled it, or the account's own list after 9501.
    // Live store; processing thread.
    virtual void OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) = 0;  // 6
    // The bargain list changed (9512, 9513, a deal, a confirmed trigger price); for a single
    // deal event (7003), a temporary one-deal list before the merge. Processing thread.
    virtual void OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) = 0;  // 7
    // The order list changed (9513, an order added, changed, removed or filled); for a single
    // order event (7002, 7004, 7005), a temporary list before the merge. Processing thread.
    virtual void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) = 0;  // 8
    // The history list after 9514 (the answer to ReqHistoryOrderInfo), or a temporary copy of
    // it after a closing deal appended a line. Processing thread.
    virtual void OnHistoryOrderInfo(
        CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) = 0;  // 9
    // The group record after 9515. Live store; processing thread.
    virtual void OnGroupInfo(CGroup& group) = 0;  // 10
    // The base-info record after 9516. Live store; processing thread.
    virtual void OnBaseInfo(CBaseInfo& baseInfo) = 0;  // 11
    // The broadcast record after 9524. Live store; processing thread.
    virtual void OnBroadCast(CBroadCast& broadCast) = 0;  // 12
    // A quote was stored in its instrument: a copy of the instrument. Processing thread.
    virtual void OnRealtimePrice(const CForexMerch& merch) = 0;  // 13
    // A TLS read or write failed while connected: the Winsock error number (0 for a clean
    // close by the server). Receive or send thread. Call DisConnect from another thread.
    virtual void OnSocketError(unsigned long error) = 0;  // 14
    // A deal opened a position, now in the bargain list. Processing thread.
    virtual void OnBargainOpened(const CBargain& bargain) = 0;  // 15
    // The server refused the committed order of kind 60 (open); the reply. Processing thread.
    virtual void OnOpenRefused(const COrderInfo& reply) = 0;  // 16
    // A closing deal was applied to the bargain list. Processing thread.
    virtual void OnBargainClosed(const CBargain& closingDeal) = 0;  // 17
    // The server refused the committed order of kind 62 (close). Processing thread.
    virtual void OnCloseRefused(const COrderInfo& reply) = 0;  // 18
    // An order was appended to the order list. Processing thread.
    virtual void OnOrderAdded(const COrderInfo& order) = 0;  // 19
    // The server refused the committed order of kinds 63 to 67. Processing thread.
    virtual void OnOrderRefused(const COrderInfo& reply) = 0;  // 20
    // The committed request of kind 63 (trigger prices) or 68 (change) was carried out.
    virtual void OnOrderChanged(const COrderInfo& order) = 0;  // 21
    // The server refused the committed order of kind 68. Processing thread.
    virtual void OnChangeRefused(const COrderInfo& reply) = 0;  // 22
    // The committed request of kind 69 removed an order. Processing thread.
    virtual void OnOrderDeleted(const COrderInfo& order) = 0;  // 23
    // The server refused the committed order of kind 69. Processing thread.
    virtual void OnDeleteRefused(const COrderInfo& reply) = 0;  // 24
    // Never called by the library.
    virtual void OnSpareB() = 0;  // 25

  protected:
    // Not virtual and not public: nobody deletes a sink through this interface.
    ~CAbsForexNotify() = default;
};
