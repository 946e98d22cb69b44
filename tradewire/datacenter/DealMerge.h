#pragma once
// Applies one deal (a single-deal event) to the data center: opens a position, closes one with
// its profit, fund-balance update and history line, or fills a pending order. Runs on the
// processing thread only; takes the data center's locks in the order orders, bargains,
// account, then instruments / currencies / base info, and history last. The sink is called
// after each lock is left, except when a fill runs: all of a fill's callbacks are made under
// the order and bargain locks. Without a sink the stores change exactly as with one.
// The last committed order is only read (a copy, taken once), never changed.

#include "datacenter/DataCenterAccess.h"
#include "datacenter/LastCommittedOrder.h"

class CDealMerge {
  public:
    CDealMerge(CForexDataCenter& center, CLastCommittedOrder& lastOrder)
        : m_center(center), m_lastOrder(lastOrder) {}

    void Apply(const CBargain& deal);

  private:
    void OpenPosition(const CBargain& deal);
    void ClosePosition(const CBargain& deal);
    void FillOrder(const CBargain& deal);
    // Removes or reduces the position `deal` closes; false when it is not in the list.
    bool TakeFromPosition(const CBargain& deal, CBargain& open);
    float SettleBalance(const CBargain& deal, const CBargain& open);
    void AppendHistory(const CBargain& deal, const CBargain& open, float profit);

    CDataCenterAccess m_center;
    CLastCommittedOrder& m_lastOrder;
};
