#include "tradewire/ForexDataCenter.h"

#include <atomic>
#include <climits>
#include <optional>

#include "datacenter/NotifySink.h"
#include "datacenter/QuoteIndex.h"

namespace {

// A getter's copy is all or nothing: it is built whole under the store's lock, then moved into
// the caller's object, which cannot fail, so running out of memory (CMemoryException from a
// string or array copy) leaves the caller's object exactly as it was. Arrays moved into keep
// the caller's grow-by value, as MFC's SetSize(n, -1) would; the caller's previous contents are
// freed after the lock is left.
template <class Record>
Record CopyUnder(CCriticalSection& lock, const Record& store) {
    CScopedLock guard(lock);
    return store;
}

}  // namespace

CForexDataCenter::CForexDataCenter() = default;

CForexDataCenter::~CForexDataCenter() {
    CQuoteIndex::Forget(*this);
}

void CForexDataCenter::SetNotify(CAbsForexNotify* notify) {
    if (notify != nullptr) {
        std::atomic_ref(m_pNotify).store(notify, std::memory_order_release);
    }
}

void CForexDataCenter::UnSetNotify() {
    std::atomic_ref(m_pNotify).store(nullptr, std::memory_order_release);
}

int CForexDataCenter::GetInternalNo() {
    CScopedLock guard(m_csAccountInfo);
    // The server sets the start; after INT_MAX the count goes on at 1 rather than overflow.
    // Staying at INT_MAX would give every later order the same number, which the merges
    // match replies by.
    const int number = m_AccountInfo.InternalNo;
    m_AccountInfo.InternalNo = number == INT_MAX ? 1 : number + 1;
    return number;
}

void CForexDataCenter::GetBaseInfo(CBaseInfo& baseInfo) {
    baseInfo = CopyUnder(m_csBaseInfo, m_BaseInfo);
}

void CForexDataCenter::GetCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) {
    currencys = CopyUnder(m_csCurrencys, m_Currencys);
}

void CForexDataCenter::GetGroupInfo(CGroup& group) {
    group = CopyUnder(m_csGroup, m_Group);
}

void CForexDataCenter::GetBroadCast(CBroadCast& broadCast) {
    broadCast = CopyUnder(m_csBroadCast, m_BroadCast);
}

void CForexDataCenter::GetAccountInfo(CAccountInfo& account) {
    account = CopyUnder(m_csAccountInfo, m_AccountInfo);
}

void CForexDataCenter::GetForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) {
    merchs = CopyUnder(m_csForexMerchs, m_ForexMerchs);
}

void CForexDataCenter::GetBargainsInfo(CArray<CBargain, CBargain&>& bargains) {
    bargains = CopyUnder(m_csBargains, m_Bargains);
}

void CForexDataCenter::GetOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) {
    orders = CopyUnder(m_csOrders, m_Orders);
}

void CForexDataCenter::GetHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) {
    history = CopyUnder(m_csHistoryOrders, m_HistoryOrders);
}

E_ErrorCode CForexDataCenter::GetErrorCode() {
    CScopedLock guard(m_csErrorCode);
    return m_ErrorCode;
}

void CForexDataCenter::OnRealtimePriceUpdate(const CForexRealtimePrice& quote) {
    // Made straight from the stored instrument: the callback's copy is the only one.
    std::optional<CForexMerch> updated;
    {
        CScopedLock guard(m_csForexMerchs);
        const INT_PTR found = CQuoteIndex::Of(*this).Find(m_ForexMerchs, quote.MerchCode);
        if (found < 0) {
            return;
        }
        m_ForexMerchs[found].RealtimePrice = quote;
        updated.emplace(m_ForexMerchs[found]);
    }
    NotifySink(std::atomic_ref(m_pNotify).load(std::memory_order_acquire),
               [&](CAbsForexNotify& sink) { sink.OnRealtimePrice(*updated); });
}
