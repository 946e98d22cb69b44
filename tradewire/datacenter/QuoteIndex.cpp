#include "datacenter/QuoteIndex.h"

#include "datacenter/DataCenterAccess.h"

#include <memory>
#include <unordered_map>

namespace {

struct CIndexTable {
    CCriticalSection lock;
    std::unordered_map<const CForexDataCenter*, std::unique_ptr<CQuoteIndex>> indexes;
};

// Never destroyed: a data center destroyed late in process exit must still find the table.
CIndexTable& Table() {
    static auto* table = new CIndexTable;
    return *table;
}

}  // namespace

CQuoteIndex& CQuoteIndex::Of(const CForexDataCenter& center) {
    CIndexTable& table = Table();
    CScopedLock guard(table.lock);
    std::unique_ptr<CQuoteIndex>& index = table.indexes[&center];
    if (index == nullptr) {
        index = std::make_unique<CQuoteIndex>();
    }
    // The entry stays where it is until Forget, so the reference outlives the table's lock.
    return *index;
}

void CQuoteIndex::Forget(const CForexDataCenter& center) {
    CIndexTable& table = Table();
    CScopedLock guard(table.lock);
    table.indexes.erase(&center);
}

INT_PTR CQuoteIndex::Find(const CForexMerchArray& merchs, const CString& code) {
    for (const INT_PTR position : m_centerIgnoringCase.Find(merchs, code)) {
        if (merchs[position].MerchCode == code) {
            return position;
        }
    }
    return -1;
}

void CQuoteIndex::InvalidateFor(CForexDataCenter& center) {
    CDataCenterAccess access(center);
    CScopedLock guard(access.ForexMerchsLock());
    Of(center).Invalidate();
}

void CQuoteIndex::Invalidate() {
    m_centerIgnoringCase.Invalidate();
    m_accountIgnoringCase.Invalidate();
}
