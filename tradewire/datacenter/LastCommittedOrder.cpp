#include "datacenter/LastCommittedOrder.h"

void CLastCommittedOrder::Store(const COrderInfo& order) {
    CScopedLock guard(m_cs);
    m_order = order;
}

COrderInfo CLastCommittedOrder::Load() const {
    CScopedLock guard(m_cs);
    return m_order;
}

int CLastCommittedOrder::InternalNo() const {
    CScopedLock guard(m_cs);
    return m_order.InternalNo;
}

void CLastCommittedOrder::ResetIfStill(int internalNo) {
    CScopedLock guard(m_cs);
    if (m_order.InternalNo == internalNo) {
        m_order.InternalNo = -1;
    }
}
