#include "datacenter/OrderMerge.h"

#include "datacenter/NotifySink.h"
#include "vocabulary/WireVocabulary.h"

namespace {

// The server marks orders it places on its own (not answering a request) with Value15 near -1.
constexpr double kUnsolicitedLow = -1.01;
constexpr double kUnsolicitedHigh = -0.99;

bool IsUnsolicitedOrder(const COrderInfo& order) {
    const double mark = order.Value15;
    const bool inWindow = mark >= kUnsolicitedLow && mark <= kUnsolicitedHigh;
    return inWindow && (order.TriggerPrice1 > 0 || order.TriggerPrice2 > 0);
}

INT_PTR LastOrderIndex(const COrderInfoArray& orders, int orderNo) {
    for (INT_PTR i = orders.GetSize() - 1; i >= 0; --i) {
        if (orders[i].OrderNo == orderNo) {
            return i;
        }
    }
    return -1;
}

// Under the order lock, lets `edit` change the list at the last order of this number; false
// when there is none.
template <class Edit>
bool EditLastOrder(CDataCenterAccess& center, int orderNo, Edit&& edit) {
    CScopedLock guard(center.OrdersLock());
    COrderInfoArray& orders = center.Orders();
    const INT_PTR index = LastOrderIndex(orders, orderNo);
    if (index < 0) {
        return false;
    }
    edit(orders, index);
    return true;
}

}  // namespace

void COrderMerge::Apply(const COrderInfo& order) {
    const COrderInfo last = m_lastOrder.Load();
    if (order.InternalNo != last.InternalNo) {
        TakeUnsolicited(order);
        return;
    }
    if (order.OrderKind == wire::kRefusal) {
        ReportRefusal(last.OrderKind, order);
        m_lastOrder.ResetIfStill(order.InternalNo);
        return;
    }
    if (ApplyConfirmation(last.OrderKind, order)) {
        m_lastOrder.ResetIfStill(order.InternalNo);
    }
}

void COrderMerge::TakeUnsolicited(const COrderInfo& order) {
    if (!IsUnsolicitedOrder(order)) {
        return;
    }
    AddOrder(order);
}

bool COrderMerge::ApplyConfirmation(int requestKind, const COrderInfo& order) {
    if (wire::IsPendingKind(requestKind)) {
        return AddOrder(order);
    }
    switch (requestKind) {
        case wire::kSetTriggers:
            return ChangeTriggerPrices(order);
        case wire::kChangeOrder:
            return ReplaceOrder(order);
        case wire::kDeleteOrder:
            return RemoveOrder(order);
        default:
            // Opens and closes are confirmed by their deal; other kinds expect no reply.
            return false;
    }
}

bool COrderMerge::AddOrder(const COrderInfo& order) {
    {
        CScopedLock guard(m_center.OrdersLock());
        COrderInfo copy = order;
        m_center.Orders().Add(copy);
    }
    NotifySink(m_center.Notify(), [&](CAbsForexNotify& sink) { sink.OnOrderAdded(order); });
    ReportOrderList();
    return true;
}

bool COrderMerge::ChangeTriggerPrices(const COrderInfo& order) {
    {
        CScopedLock guard(m_center.BargainsLock());
        CBargainArray& bargains = m_center.Bargains();
        INT_PTR index = 0;
        while (index < bargains.GetSize() && bargains[index].BargainNo != order.BargainNo) {
            ++index;
        }
        if (index == bargains.GetSize()) {
            return false;
        }
        bargains[index].TriggerPrice1 = order.TriggerPrice1;
        bargains[index].TriggerPrice2 = order.TriggerPrice2;
    }
    NotifySink(m_center.Notify(), [&](CAbsForexNotify& sink) { sink.OnOrderChanged(order); });
    NotifySink(m_center.Notify(),
               [&](CAbsForexNotify& sink) { sink.OnBargainsInfo(m_center.Bargains()); });
    return true;
}

bool COrderMerge::ReplaceOrder(const COrderInfo& order) {
    if (!EditLastOrder(m_center, order.OrderNo,
                       [&](COrderInfoArray& orders, INT_PTR index) { orders[index] = order; })) {
        return false;
    }
    NotifySink(m_center.Notify(), [&](CAbsForexNotify& sink) { sink.OnOrderChanged(order); });
    ReportOrderList();
    return true;
}

bool COrderMerge::RemoveOrder(const COrderInfo& order) {
    if (!EditLastOrder(m_center, order.OrderNo,
                       [](COrderInfoArray& orders, INT_PTR index) { orders.RemoveAt(index); })) {
        return false;
    }
    NotifySink(m_center.Notify(), [&](CAbsForexNotify& sink) { sink.OnOrderDeleted(order); });
    ReportOrderList();
    return true;
}

// After the lock is left, as every report of the merge.
void COrderMerge::ReportOrderList() {
    NotifySink(m_center.Notify(),
               [&](CAbsForexNotify& sink) { sink.OnOrdersInfo(m_center.Orders()); });
}

void COrderMerge::ReportRefusal(int requestKind, const COrderInfo& reply) {
    CAbsForexNotify* sink = m_center.Notify();
    if (requestKind == wire::kOpenMarket) {
        NotifySink(sink, [&](CAbsForexNotify& s) { s.OnOpenRefused(reply); });
    } else if (requestKind == wire::kCloseMarket) {
        NotifySink(sink, [&](CAbsForexNotify& s) { s.OnCloseRefused(reply); });
    } else if (requestKind == wire::kSetTriggers || wire::IsPendingKind(requestKind)) {
        NotifySink(sink, [&](CAbsForexNotify& s) { s.OnOrderRefused(reply); });
    } else if (requestKind == wire::kChangeOrder) {
        NotifySink(sink, [&](CAbsForexNotify& s) { s.OnChangeRefused(reply); });
    } else if (requestKind == wire::kDeleteOrder) {
        NotifySink(sink, [&](CAbsForexNotify& s) { s.OnDeleteRefused(reply); });
    }
}
