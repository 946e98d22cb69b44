#include "datacenter/InstrumentLookup.h"

namespace {

INT_PTR FirstWithCode(const CForexMerchArray& merchs, const CString& code) {
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        if (merchs[i].MerchCode.CompareNoCase(code) == 0) {
            return i;
        }
    }
    return -1;
}

}  // namespace

bool CInstrumentLookup::Find(const CString& code, CForexMerch& result) {
    // The account lock is taken first, so the instrument lock nests inside it as everywhere else.
    CScopedLock accountGuard(m_center.AccountInfoLock());
    if (!FindInInstrumentList(code, result)) {
        return false;
    }
    const CForexMerchArray& own = m_center.AccountInfo().Merchs;
    const INT_PTR index = FirstWithCode(own, code);
    if (index >= 0) {
        // The account's copy carries the account's own terms; only the instrument list
        // receives quotes, so its RealtimePrice is the one worth keeping.
        const CForexRealtimePrice quote = result.RealtimePrice;
        result = own[index];
        result.RealtimePrice = quote;
    }
    return true;
}

bool CInstrumentLookup::FindInInstrumentList(const CString& code, CForexMerch& result) {
    CScopedLock guard(m_center.ForexMerchsLock());
    const INT_PTR index = FirstWithCode(m_center.ForexMerchs(), code);
    if (index < 0) {
        return false;
    }
    result = m_center.ForexMerchs()[index];
    return true;
}
