#pragma once
// Inside access to the data center's stores for the parsers and merges, which all run on the
// processing thread. Every store is written only while its lock (the *Lock() next to it) is
// held through a CScopedLock; the sink pointer is read once per call site.

#include <atomic>

#include "tradewire/ForexDataCenter.h"

class CDataCenterAccess {
  public:
    explicit CDataCenterAccess(CForexDataCenter& center) : m_center(center) {}

    CForexDataCenter& Center() { return m_center; }
    CAbsForexNotify* Notify() const {
        return std::atomic_ref(m_center.m_pNotify).load(std::memory_order_acquire);
    }

    CBaseInfo& BaseInfo() { return m_center.m_BaseInfo; }
    CCriticalSection& BaseInfoLock() { return m_center.m_csBaseInfo; }
    CCurrencyArray& Currencys() { return m_center.m_Currencys; }
    CCriticalSection& CurrencysLock() { return m_center.m_csCurrencys; }
    CGroup& Group() { return m_center.m_Group; }
    CCriticalSection& GroupLock() { return m_center.m_csGroup; }
    CBroadCast& BroadCast() { return m_center.m_BroadCast; }
    CCriticalSection& BroadCastLock() { return m_center.m_csBroadCast; }
    CAccountInfo& AccountInfo() { return m_center.m_AccountInfo; }
    CCriticalSection& AccountInfoLock() { return m_center.m_csAccountInfo; }
    CForexMerchArray& ForexMerchs() { return m_center.m_ForexMerchs; }
    CCriticalSection& ForexMerchsLock() { return m_center.m_csForexMerchs; }
    CBargainArray& Bargains() { return m_center.m_Bargains; }
    CCriticalSection& BargainsLock() { return m_center.m_csBargains; }
    COrderInfoArray& Orders() { return m_center.m_Orders; }
    CCriticalSection& OrdersLock() { return m_center.m_csOrders; }
    CHistoryOrderInfoArray& HistoryOrders() { return m_center.m_HistoryOrders; }
    CCriticalSection& HistoryOrdersLock() { return m_center.m_csHistoryOrders; }
    E_ErrorCode& ErrorCode() { return m_center.m_ErrorCode; }
    CCriticalSection& ErrorCodeLock() { return m_center.m_csErrorCode; }

  private:
    CForexDataCenter& m_center;
};
