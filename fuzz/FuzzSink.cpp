#include "FuzzSink.h"

void CFuzzSink::ReadEveryStore() {
    CForexDataCenter* center = m_protocol.GetDataCenter();
    if (center == nullptr) {
        return;
    }
    CBaseInfo baseInfo;
    center->GetBaseInfo(baseInfo);
    CArray<CCurrency, CCurrency&> currencys;
    center->GetCurrencysInfo(currencys);
    CGroup group;
    center->GetGroupInfo(group);
    CBroadCast broadCast;
    center->GetBroadCast(broadCast);
    CAccountInfo account;
    center->GetAccountInfo(account);
    CArray<CForexMerch, CForexMerch&> merchs;
    center->GetForexMerchs(merchs);
    CArray<CBargain, CBargain&> bargains;
    center->GetBargainsInfo(bargains);
    CArray<COrderInfo, COrderInfo&> orders;
    center->GetOrdersInfo(orders);
    CArray<CHistoryOrderInfo, CHistoryOrderInfo&> history;
    center->GetHistoryOrderInfo(history);
    (void)center->GetErrorCode();
}

// A terminal answering an event with a new order: it takes a fresh internal number, as the
// real ones do, which also moves the counter the merges compare against.
void CFuzzSink::CommitLike(const COrderInfo& order) {
    COrderInfo next = order;
    if (CForexDataCenter* center = m_protocol.GetDataCenter()) {
        next.InternalNo = center->GetInternalNo();
    }
    m_frameBytes += m_protocol.BuildCommitBill(next).size();
}

void CFuzzSink::CloseBargain(const CBargain& bargain) {
    COrderInfo order;
    order.AccountCode = bargain.Value1;
    order.MerchCode = bargain.MerchCode;
    order.BargainNo = bargain.BargainNo;
    order.CloseFlag = 1;
    order.Value14 = bargain.Lots;
    order.Value15 = bargain.Price;
    CommitLike(order);
}

void CFuzzSink::AskHistory() {
    m_frameBytes += m_protocol.BuildHistoryRequest(0, 86400L * 365 * 60).size();
}

void CFuzzSink::OnErrorCode(int) {
    ReadEveryStore();
}

void CFuzzSink::OnTextMessage(const CString& text) {
    m_frameBytes += m_protocol.BuildLogout(text).size();
}

void CFuzzSink::OnLoginReply() {
    m_frameBytes += m_protocol.BuildLogin(L"fuzz", L"fuzz").size();
}

void CFuzzSink::OnSpareA() {}

void CFuzzSink::OnAccountInfo(CAccountInfo& account) {
    ReadEveryStore();
    m_frameBytes += m_protocol.BuildLogout(account.AccountCode).size();
}

void CFuzzSink::OnCurrencysInfo(CArray<CCurrency, CCurrency&>&) {
    ReadEveryStore();
}

void CFuzzSink::OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) {
    ReadEveryStore();
    if (merchs.GetSize() > 0) {
        COrderInfo order;
        order.MerchCode = merchs[0].MerchCode;
        order.OrderKind = 64;
        CommitLike(order);
    }
}

void CFuzzSink::OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) {
    ReadEveryStore();
    if (bargains.GetSize() > 0) {
        CloseBargain(bargains[bargains.GetSize() - 1]);
    }
}

void CFuzzSink::OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) {
    ReadEveryStore();
    if (orders.GetSize() > 0) {
        CommitLike(orders[0]);
    }
}

void CFuzzSink::OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>&) {
    ReadEveryStore();
}

void CFuzzSink::OnGroupInfo(CGroup&) {
    ReadEveryStore();
}

void CFuzzSink::OnBaseInfo(CBaseInfo&) {
    ReadEveryStore();
    AskHistory();
}

void CFuzzSink::OnBroadCast(CBroadCast&) {
    ReadEveryStore();
}

void CFuzzSink::OnRealtimePrice(const CForexMerch& merch) {
    CArray<CForexMerch, CForexMerch&> merchs;
    if (CForexDataCenter* center = m_protocol.GetDataCenter()) {
        center->GetForexMerchs(merchs);
    }
    COrderInfo order;
    order.MerchCode = merch.MerchCode;
    order.Value15 = merch.RealtimePrice.Ask;
    CommitLike(order);
}

void CFuzzSink::OnSocketError(unsigned long) {}

void CFuzzSink::OnBargainOpened(const CBargain& bargain) {
    ReadEveryStore();
    CloseBargain(bargain);
}

void CFuzzSink::OnOpenRefused(const COrderInfo& reply) {
    CommitLike(reply);
}

void CFuzzSink::OnBargainClosed(const CBargain&) {
    ReadEveryStore();
    AskHistory();
}

void CFuzzSink::OnCloseRefused(const COrderInfo& reply) {
    CommitLike(reply);
}

void CFuzzSink::OnOrderAdded(const COrderInfo& order) {
    ReadEveryStore();
    COrderInfo change = order;
    change.TriggerPrice1 += 1.0F;
    CommitLike(change);
}

void CFuzzSink::OnOrderRefused(const COrderInfo&) {
    ReadEveryStore();
}

void CFuzzSink::OnOrderChanged(const COrderInfo& order) {
    CommitLike(order);
}

void CFuzzSink::OnChangeRefused(const COrderInfo&) {
    ReadEveryStore();
}

void CFuzzSink::OnOrderDeleted(const COrderInfo&) {
    ReadEveryStore();
}

void CFuzzSink::OnDeleteRefused(const COrderInfo& reply) {
    CommitLike(reply);
}

void CFuzzSink::OnSpareB() {}
