#pragma once
// Applies one order event (a single-order event) to the order and bargain lists and reports
// the outcome of the caller's last request. Runs on the processing thread only; holds the
// order lock or the bargain lock, never both, and calls the sink after leaving it.

#include "DataCenterAccess.h"
#include "LastCommittedOrder.h"

class COrderMerge {
public:
    COrderMerge(CForexDataCenter& center, CLastCommittedOrder& lastOrder)
        : m_center(center), m_lastOrder(lastOrder) {}

    void Apply(const COrderInfo& order);

private:
    CDataCenterAccess m_center;
    CLastCommittedOrder& m_lastOrder;
};
