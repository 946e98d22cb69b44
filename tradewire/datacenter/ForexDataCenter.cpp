#include "tradewire/ForexDataCenter.h"

#include <atomic>
#include <climits>
#include <optional>

#include "datacenter/NotifySink.h"
#include "datacenter/QuoteIndex.h"

namespace {

// The caller's array ends up the store's size (keeping its grow-by value) with every element
// equal to the store's, as a caller built against MFC expects. Copy assigns into the elements
// the caller already has, reusing their text buffers, and copy-constructs the rest, so a new
// array is not first filled with empty records only to overwrite them.
template <class TYPE, class ARG>
void CopyList(const CArray<TYPE, ARG>& source, CArray<TYPE, ARG>& target) {
    target.Copy(source);
}

// A getter's whole work: the copy of one store under the lock that guards it.
template <class TYPE, class ARG>
void CopyListUnder(CCriticalSection& lock, const CArray<TYPE, ARG>& source,
                   CArray<TYPE, ARG>& target) {
    CScopedLock guard(lock);
    CopyList(source, target);
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
    CScopedLock guard(m_csBaseInfo);
    baseInfo = m_BaseInfo;
}

void CForexDataCenter::GetCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) {
    CopyListUnder(m_csCurrencys, m_Currencys, currencys);
}

void CForexDataCenter::GetGroupInfo(CGroup& group) {
    CScopedLock guard(m_csGroup);
    group = m_Group;
}

void CForexDataCenter::GetBroadCast(CBroadCast& broadCast) {
    CScopedLock guard(m_csBroadCast);
    broadCast = m_BroadCast;
}

void CForexDataCenter::GetAccountInfo(CAccountInfo& account) {
    CScopedLock guard(m_csAccountInfo);
    account = m_AccountInfo;  // the two arrays copy element-wise and keep the caller's grow-by
}

void CForexDataCenter::GetForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) {
    CopyListUnder(m_csForexMerchs, m_ForexMerchs, merchs);
}

void CForexDataCenter::GetBargainsInfo(CArray<CBargain, CBargain&>& bargains) {
    CopyListUnder(m_csBargains, m_Bargains, bargains);
}

void CForexDataCenter::GetOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) {
    CopyListUnder(m_csOrders, m_Orders, orders);
}

void CForexDataCenter::GetHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) {
    CopyListUnder(m_csHistoryOrders, m_HistoryOrders, history);
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
