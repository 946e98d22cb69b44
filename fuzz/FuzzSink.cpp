#include "FuzzSink.h"
#include "vocabulary/WireVocabulary.h"

#include <cstring>

// Most events: noted, then the stores read back as a terminal redrawing its windows would.
template <class RECORD>
void CFuzzSink::LookAround(int slot, const RECORD& record) {
    Note(slot);
    Note(record);
    ReadEveryStore();
}

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
    NoteFrame(m_protocol.BuildCommitBill(next));
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

// A refusal, or a change the terminal wants to follow up: the same order goes out again.
void CFuzzSink::SendAgain(int slot, const COrderInfo& order) {
    Note(slot);
    Note(order);
    CommitLike(order);
}

void CFuzzSink::AskHistory() {
    NoteFrame(m_protocol.BuildHistoryRequest(0, 86400L * 365 * 60));
}

void CFuzzSink::OnErrorCode(int code) {
    LookAround(0, code);
}

void CFuzzSink::OnTextMessage(const CString& text) {
    Note(1);
    Note(text);
    NoteFrame(m_protocol.BuildLogout(text));
}

void CFuzzSink::OnLoginReply() {
    Note(2);
    NoteFrame(m_protocol.BuildLogin(L"fuzz", L"fuzz"));
}

void CFuzzSink::OnAccountInfo(CAccountInfo& account) {
    LookAround(4, account.AccountCode);
    NoteFrame(m_protocol.BuildLogout(account.AccountCode));
}

void CFuzzSink::OnCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) {
    LookAround(5, static_cast<double>(currencys.GetSize()));
}

void CFuzzSink::OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) {
    LookAround(6, static_cast<double>(merchs.GetSize()));
    if (merchs.GetSize() > 0) {
        COrderInfo order;
        order.MerchCode = merchs[0].MerchCode;
        order.OrderKind = wire::kBuyLimit;
        CommitLike(order);
    }
}

void CFuzzSink::OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) {
    LookAround(7, bargains);
    if (bargains.GetSize() > 0) {
        CloseBargain(bargains[bargains.GetSize() - 1]);
    }
}

void CFuzzSink::OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) {
    LookAround(8, orders);
    if (orders.GetSize() > 0) {
        CommitLike(orders[0]);
    }
}

void CFuzzSink::OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) {
    LookAround(9, static_cast<double>(history.GetSize()));
}

void CFuzzSink::OnGroupInfo(CGroup& group) {
    LookAround(10, group.Value1);
}

void CFuzzSink::OnBaseInfo(CBaseInfo& baseInfo) {
    LookAround(11, baseInfo.Value1);
    AskHistory();
}

void CFuzzSink::OnBroadCast(CBroadCast& broadCast) {
    LookAround(12, broadCast.Value4);
}

void CFuzzSink::OnRealtimePrice(const CForexMerch& merch) {
    Note(13);
    Note(merch.MerchCode);
    Note(merch.RealtimePrice.Bid);
    Note(merch.RealtimePrice.Ask);
    CArray<CForexMerch, CForexMerch&> merchs;
    if (CForexDataCenter* center = m_protocol.GetDataCenter()) {
        center->GetForexMerchs(merchs);
    }
    COrderInfo order;
    order.MerchCode = merch.MerchCode;
    order.Value15 = merch.RealtimePrice.Ask;
    CommitLike(order);
}

void CFuzzSink::OnBargainOpened(const CBargain& bargain) {
    LookAround(15, bargain);
    CloseBargain(bargain);
}

void CFuzzSink::OnOpenRefused(const COrderInfo& reply) {
    SendAgain(16, reply);
}

void CFuzzSink::OnBargainClosed(const CBargain& closingDeal) {
    LookAround(17, closingDeal);
    AskHistory();
}

void CFuzzSink::OnCloseRefused(const COrderInfo& reply) {
    SendAgain(18, reply);
}

void CFuzzSink::OnOrderAdded(const COrderInfo& order) {
    LookAround(19, order);
    COrderInfo change = order;
    change.TriggerPrice1 += 1.0F;
    CommitLike(change);
}

void CFuzzSink::OnOrderRefused(const COrderInfo& reply) {
    LookAround(20, reply);
}

void CFuzzSink::OnOrderChanged(const COrderInfo& order) {
    SendAgain(21, order);
}

void CFuzzSink::OnChangeRefused(const COrderInfo& reply) {
    LookAround(22, reply);
}

void CFuzzSink::OnOrderDeleted(const COrderInfo& order) {
    LookAround(23, order);
}

void CFuzzSink::OnDeleteRefused(const COrderInfo& reply) {
    SendAgain(24, reply);
}

void CFuzzSink::Note(int slot) {
    m_transcript += '#';
    m_transcript += std::to_string(slot);
}

void CFuzzSink::Note(const CString& text) {
    m_transcript += ' ';
    for (int i = 0; i < text.GetLength(); ++i) {
        m_transcript += std::to_string(static_cast<long>(text.GetAt(i)));
        m_transcript += ',';
    }
}

// By its bits, so NaN and the sign of zero compare too.
void CFuzzSink::Note(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    m_transcript += ' ';
    m_transcript += std::to_string(bits);
}

void CFuzzSink::Note(const CBargain& bargain) {
    Note(bargain.MerchCode);
    Note(bargain.BargainNo);
    Note(bargain.InternalNo);
    Note(bargain.Lots);
    Note(bargain.Price);
    Note(bargain.TriggerPrice1);
    Note(bargain.TriggerPrice2);
}

void CFuzzSink::Note(const COrderInfo& order) {
    Note(order.MerchCode);
    Note(order.OrderNo);
    Note(order.InternalNo);
    Note(order.BargainNo);
    Note(order.OrderKind);
    Note(order.TriggerPrice1);
    Note(order.TriggerPrice2);
}

template <class RECORD>
void CFuzzSink::Note(const CArray<RECORD, RECORD&>& list) {
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        Note(list[i]);
    }
}

void CFuzzSink::NoteFrame(const std::string& frame) {
    m_transcript += " >";
    m_transcript += frame;
}

void CFuzzSink::NoteStores() {
    CForexDataCenter* center = m_protocol.GetDataCenter();
    if (center == nullptr) {
        return;
    }
    m_transcript += "\nstores";
    CAccountInfo account;
    center->GetAccountInfo(account);
    Note(account.AccountCode);
    Note(account.Value23);
    for (INT_PTR i = 0; i < account.Funds.GetSize(); ++i) {
        Note(account.Funds[i].Balance);
    }
    CArray<CForexMerch, CForexMerch&> merchs;
    center->GetForexMerchs(merchs);
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        Note(merchs[i].MerchCode);
        Note(merchs[i].RealtimePrice.Bid);
        Note(merchs[i].RealtimePrice.Ask);
    }
    CArray<CBargain, CBargain&> bargains;
    center->GetBargainsInfo(bargains);
    Note(bargains);
    CArray<COrderInfo, COrderInfo&> orders;
    center->GetOrdersInfo(orders);
    Note(orders);
    CArray<CHistoryOrderInfo, CHistoryOrderInfo&> history;
    center->GetHistoryOrderInfo(history);
    for (INT_PTR i = 0; i < history.GetSize(); ++i) {
        Note(history[i].MerchCode);
        Note(history[i].Lots);
    }
    Note(static_cast<int>(center->GetErrorCode()));
    Note(center->GetInternalNo());
}
