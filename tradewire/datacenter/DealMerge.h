#pragma once
// Applies one deal (a single-deal event) to the data center: opens a position, closes one with
// its profit, fund-balance update and history line, or fills a pending order. Runs on the
// processing thread only; takes the data center's locks in the order orders, bargains,
// account, then instruments / currencies / base info, and calls the sink as it goes.

#include "DataCenterAccess.h"
#include "LastCommittedOrder.h"

class CDealMerge {
public:
    CDealMerge(CForexDataCenter& center, CLastCommittedOrder& lastOrder)
        : m_center(center), m_lastOrder(lastOrder) {}

    void Apply(const CBargain& deal);

private:
    CDataCenterAccess m_center;
    CLastCommittedOrder& m_lastOrder;
};
