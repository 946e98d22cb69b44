#pragma once
// Everything received about the logged-in account, one store per lock. The processing thread
// writes the stores (parsers and merges, through CDataCenterAccess); any thread may call the
// getters, each of which copies one whole store under that store's lock. The locks are
// recursive, so a sink callback may call a getter of the store being written. Where several
// locks are held the order is orders, bargains, account, then instruments, currencies or base
// info; no getter holds two. The sink pointer is read and written without a lock, atomically.

#include <stdint.h>

#include "tradewire/AbsForexNotify.h"
#include "tradewire/CriticalSection.h"
#include "tradewire/Records.h"
#include "tradewire/Server.h"
#include "tradewire/TradewireExport.h"

// The order of the virtual functions is the binary interface; never reorder.
class TRADEWIRE_EXPORT CForexDataCenter {
  public:
    CForexDataCenter();
    virtual ~CForexDataCenter();
    CForexDataCenter(const CForexDataCenter&) = delete;
    CForexDataCenter& operator=(const CForexDataCenter&) = delete;

    // A null sink is ignored; only UnSetNotify clears it. Changes only the data center's sink
    // (CAbsForexManager::SetNotify sets both). No lock; any thread.
    void SetNotify(CAbsForexNotify* notify);
    void UnSetNotify();

    // Returns the counter delivered by the last account message, then advances it by one;
    // after INT_MAX it goes on at 1. Takes the account lock; any thread. 0 before login.
    int GetInternalNo();

    // Each getter copies one whole store into the caller's object under that store's lock, from
    // any thread, connected or not (the stores keep what was last received). The copy is all
    // or nothing: on memory exhaustion it throws CMemoryException and the caller's object is
    // unchanged (see README for terminals built with another compiler). Arrays keep their
    // grow-by value.
    void GetBaseInfo(CBaseInfo& baseInfo);
    void GetCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys);
    void GetGroupInfo(CGroup& group);
    void GetBroadCast(CBroadCast& broadCast);
    void GetAccountInfo(CAccountInfo& account);
    void GetForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs);
    void GetBargainsInfo(CArray<CBargain, CBargain&>& bargains);
    void GetOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders);
    void GetHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history);
    // The number of the server's last error report (9999); 0 when none came.
    E_ErrorCode GetErrorCode();

    // Stores a quote in the instrument whose code matches exactly, then reports a copy of the
    // instrument through OnRealtimePrice (outside the lock). Unknown codes are dropped. The
    // library calls it on the processing thread; a terminal may call it too.
    void OnRealtimePriceUpdate(const CForexRealtimePrice& quote);

  private:
    friend class CDataCenterAccess;

    int32_t m_nReserved = 0;  // kept for the layout callers compile against; never used
    CAbsForexNotify* m_pNotify = nullptr;  // only through std::atomic_ref
    CBaseInfo m_BaseInfo;
    CCriticalSection m_csBaseInfo;
    CArray<CCurrency, CCurrency&> m_Currencys;
    CCriticalSection m_csCurrencys;
    CGroup m_Group;
    CCriticalSection m_csGroup;
    CBroadCast m_BroadCast;
    CCriticalSection m_csBroadCast;
    CAccountInfo m_AccountInfo;
    CCriticalSection m_csAccountInfo;
    CArray<CForexMerch, CForexMerch&> m_ForexMerchs;
    CCriticalSection m_csForexMerchs;
    CArray<CBargain, CBargain&> m_Bargains;
    CCriticalSection m_csBargains;
    CArray<COrderInfo, COrderInfo&> m_Orders;
    CCriticalSection m_csOrders;
    CArray<CHistoryOrderInfo, CHistoryOrderInfo&> m_HistoryOrders;
    CCriticalSection m_csHistoryOrders;
    E_ErrorCode m_ErrorCode = EC_NoError;
    CCriticalSection m_csErrorCode;
};
