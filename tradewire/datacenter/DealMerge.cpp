#include "datacenter/DealMerge.h"

#include "datacenter/HistoryLine.h"
#include "datacenter/NotifySink.h"
#include "datacenter/ProfitCalculator.h"
#include "platform/FloatRange.h"

namespace {

template <class Match>
INT_PTR LastIndexWhere(INT_PTR size, Match&& match) {
    for (INT_PTR i = size - 1; i >= 0; --i) {
        if (match(i)) {
            return i;
        }
    }
    return -1;
}

}  // namespace

void CDealMerge::Apply(const CBargain& deal) {
    const COrderInfo last = m_lastOrder.Load();
    if (deal.InternalNo == last.InternalNo && deal.CloseFlag == 0) {
        OpenPosition(deal);
        return;
    }
    if (deal.InternalNo == last.InternalNo && last.CloseFlag != 0) {
        ClosePosition(deal);
        return;
    }
    FillOrder(deal);
}

void CDealMerge::OpenPosition(const CBargain& deal) {
    {
        CScopedLock guard(m_center.BargainsLock());
        CBargain position = deal;
        m_center.Bargains().Add(position);
    }
    NotifySink(m_center.Notify(), [&](CAbsForexNotify& sink) { sink.OnBargainOpened(deal); });
    NotifySink(m_center.Notify(),
               [&](CAbsForexNotify& sink) { sink.OnBargainsInfo(m_center.Bargains()); });
}

void CDealMerge::ClosePosition(const CBargain& deal) {
    CBargain open;
    if (!TakeFromPosition(deal, open)) {
        return;
    }
    const float profit = SettleBalance(deal, open);
    NotifySink(m_center.Notify(), [&](CAbsForexNotify& sink) { sink.OnBargainClosed(deal); });
    {
        // The sink reads the store itself; GetInternalNo writes it from any thread.
        CScopedLock guard(m_center.AccountInfoLock());
        NotifySink(m_center.Notify(),
                   [&](CAbsForexNotify& sink) { sink.OnAccountInfo(m_center.AccountInfo()); });
    }
    NotifySink(m_center.Notify(),
               [&](CAbsForexNotify& sink) { sink.OnBargainsInfo(m_center.Bargains()); });
    AppendHistory(deal, open, profit);
}

bool CDealMerge::TakeFromPosition(const CBargain& deal, CBargain& open) {
    CScopedLock guard(m_center.BargainsLock());
    CBargainArray& bargains = m_center.Bargains();
    const INT_PTR index = LastIndexWhere(
        bargains.GetSize(), [&](INT_PTR i) { return bargains[i].BargainNo == deal.OpenBargainNo; });
    if (index < 0) {
        return false;
    }
    open = bargains[index];
    const double remaining = static_cast<double>(open.Lots) - deal.Lots;
    if (remaining == 0.0) {
        bargains.RemoveAt(index);
    } else {
        // Lots of opposite signs near the float range's ends leave more than a float holds.
        bargains[index].Lots = FloatOrZero(remaining);
    }
    return true;
}

float CDealMerge::SettleBalance(const CBargain& deal, const CBargain& open) {
    CScopedLock guard(m_center.AccountInfoLock());
    CFundInfoArray& funds = m_center.AccountInfo().Funds;
    if (funds.IsEmpty()) {
        return 0;
    }
    const float profit = CProfitCalculator(m_center).Profit(deal, open);
    // The closed share of the position's own charge and credit is settled with the deal's.
    const double ratio =
        open.Lots == 0 ? 0.0 : static_cast<double>(deal.Lots) / static_cast<double>(open.Lots);
    double& balance = funds[0].Balance;
    balance =
        profit + balance - deal.Charge + deal.Credit - open.Charge * ratio + open.Credit * ratio;
    return profit;
}

void CDealMerge::AppendHistory(const CBargain& deal, const CBargain& open, float profit) {
    CHistoryOrderInfo line = MakeHistoryLine(deal, open, profit);
    // The sink gets a copy: whatever it does to the list must not reach the store.
    CHistoryOrderInfoArray copy;
    {
        CScopedLock guard(m_center.HistoryOrdersLock());
        m_center.HistoryOrders().Add(line);
        copy = m_center.HistoryOrders();
    }
    NotifySink(m_center.Notify(), [&](CAbsForexNotify& sink) { sink.OnHistoryOrderInfo(copy); });
}

void CDealMerge::FillOrder(const CBargain& deal) {
    CScopedLock ordersGuard(m_center.OrdersLock());
    CScopedLock bargainsGuard(m_center.BargainsLock());
    COrderInfoArray& orders = m_center.Orders();
    const INT_PTR index = LastIndexWhere(
        orders.GetSize(), [&](INT_PTR i) { return orders[i].OrderNo == deal.BargainNo; });
    if (index < 0) {
        return;
    }
    orders.RemoveAt(index);
    if (deal.CloseFlag != 0) {
        ClosePosition(deal);
    } else {
        OpenPosition(deal);
    }
    NotifySink(m_center.Notify(), [&](CAbsForexNotify& sink) { sink.OnOrdersInfo(orders); });
}
