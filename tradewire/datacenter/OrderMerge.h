#pragma once
// Applies one order event (a single-order event) to the order and bargain lists and reports
// the outcome of the caller's last request. Runs on the processing thread only; holds the
// order lock or the bargain lock, never both, and calls the sink after leaving it. Without a
// sink the lists change exactly as with one.
//
// The last request is read once (a copy) when the event arrives. A reply consumes it only if
// its InternalNo is still the one the reply carried: a sink may commit the next order from
// inside a callback, and that newer request must still meet its own reply.

#include "datacenter/DataCenterAccess.h"
#include "datacenter/LastCommittedOrder.h"

class COrderMerge {
  public:
    COrderMerge(CForexDataCenter& center, CLastCommittedOrder& lastOrder)
        : m_center(center), m_lastOrder(lastOrder) {}

    void Apply(const COrderInfo& order);

  private:
    void TakeUnsolicited(const COrderInfo& order);
    // Each returns false when the reply names an order or bargain that is not in the list.
    bool AddOrder(const COrderInfo& order);
    bool ChangeTriggerPrices(const COrderInfo& order);
    bool ReplaceOrder(const COrderInfo& order);
    bool RemoveOrder(const COrderInfo& order);
    bool ApplyConfirmation(int requestKind, const COrderInfo& order);
    void ReportRefusal(int requestKind, const COrderInfo& reply);
    void ReportOrderList();

    CDataCenterAccess m_center;
    CLastCommittedOrder& m_lastOrder;
};
