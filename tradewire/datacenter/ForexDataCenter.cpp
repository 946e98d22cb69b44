#include "tradewire/ForexDataCenter.h"

#include <atomic>
#include <climits>
#include <optional>

#include "datacenter/NotifySink.h"
#include "datacenter/QuoteIndex.h"
#include "datacenter/RecordFits.h"

namespace {

// A getter's copy is all or nothing: whatever needs memory is made before the caller's object
// is touched, and what follows cannot fail, so running out of memory (CMemoryException from a
// string or array copy) leaves the caller's object exactly as it was. The store's lock is
// left on the way out either way.
template <class Record>
Record CopyUnder(CCriticalSection& lock, const Record& store) {
    CScopedLock guard(lock);
    return store;
}

// Terminals call the list getters again and again with the same array, so the copy reuses the
// caller's elements and their text buffers: an element whose texts all fit is assigned in
// place, which allocates nothing. Only the elements that do not fit, and those beyond the
// caller's size, are copied first into a side array, then moved in. The caller's array keeps
// its grow-by value, as MFC's SetSize(n, -1) would.
template <class TYPE, class ARG>
void CopyListInto(const CArray<TYPE, ARG>& source, CArray<TYPE, ARG>& target) {
    const INT_PTR size = source.GetSize();
    if (target.IsEmpty()) {
        CArray<TYPE, ARG> copy(source);
        target = static_cast<CArray<TYPE, ARG>&&>(copy);
        return;
    }
    const INT_PTR kept = size < target.GetSize() ? size : target.GetSize();
    CArray<bool> fits;  // per element kept: whether it is assigned in place
    fits.SetSize(kept);
    CArray<TYPE> fresh;  // copies of the elements that need memory, in order
    for (INT_PTR i = 0; i < size; ++i) {
        if (i < kept && FitsWithoutAllocation(source[i], target[i])) {
            fits[i] = true;
        } else {
            fresh.Add(source[i]);
        }
    }
    target.SetSize(size);  // may grow the buffer: the last step that can fail
    INT_PTR next = 0;
    for (INT_PTR i = 0; i < size; ++i) {
        if (i < kept && fits[i]) {
            target[i] = source[i];
        } else {
            target[i] = static_cast<TYPE&&>(fresh[next++]);
        }
    }
}

template <class TYPE, class ARG>
void CopyListUnder(CCriticalSection& lock, const CArray<TYPE, ARG>& source,
                   CArray<TYPE, ARG>& target) {
    CScopedLock guard(lock);
    CopyListInto(source, target);
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
    CopyListUnder(m_csCurrencys, m_Currencys, currencys);
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
