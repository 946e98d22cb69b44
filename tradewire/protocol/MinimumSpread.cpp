#include "protocol/MinimumSpread.h"

#include <cwctype>
#include "vocabulary/WideText.h"

#include "datacenter/QuoteIndex.h"

namespace {

// One step of the account pass. Written as the comparison itself rather than std::max, so NaN
// and -0.0 behave exactly as in the walk.
float Widen(float spread, float candidate) {
    return candidate >= spread ? candidate : spread;
}

}  // namespace

bool EqualsNoCase(const CString& a, const CString& b) {
    const std::wstring_view left = WideView(a);
    const std::wstring_view right = WideView(b);
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::towlower(static_cast<wint_t>(left[i])) !=
            std::towlower(static_cast<wint_t>(right[i]))) {
            return false;
        }
    }
    return true;
}

float FindMinimumSpread(CDataCenterAccess& center, const CString& code) {
    CScopedLock guard(center.ForexMerchsLock());
    float spread = 0;
    const CForexMerchArray& accountMerchs = center.AccountInfo().Merchs;
    for (INT_PTR i = 0; i < accountMerchs.GetSize(); ++i) {
        if (EqualsNoCase(accountMerchs[i].MerchCode, code)) {
            spread = Widen(spread, accountMerchs[i].MinSpread);
        }
    }
    const CForexMerchArray& merchs = center.ForexMerchs();
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        if (EqualsNoCase(merchs[i].MerchCode, code)) {
            return Widen(spread, merchs[i].MinSpread);
        }
    }
    return spread;
}

float FindQuoteSpread(CDataCenterAccess& center, const CString& code) {
    CScopedLock guard(center.ForexMerchsLock());
    CQuoteIndex& index = CQuoteIndex::Of(center.Center());
    float spread = 0;
    const CForexMerchArray& accountMerchs = center.AccountInfo().Merchs;
    for (const INT_PTR i : index.FindInAccount(accountMerchs, code)) {
        spread = Widen(spread, accountMerchs[i].MinSpread);
    }
    const CForexMerchArray& merchs = center.ForexMerchs();
    const std::vector<INT_PTR>& matches = index.FindIgnoringCase(merchs, code);
    return matches.empty() ? spread : Widen(spread, merchs[matches.front()].MinSpread);
}

CMinimumSpreadIndex::CMinimumSpreadIndex(CDataCenterAccess& center) {
    CScopedLock guard(center.ForexMerchsLock());
    const CForexMerchArray& accountMerchs = center.AccountInfo().Merchs;
    for (INT_PTR i = 0; i < accountMerchs.GetSize(); ++i) {
        AddAccountMerch(accountMerchs[i]);
    }
    const CForexMerchArray& merchs = center.ForexMerchs();
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        AddCenterMerch(merchs[i]);
    }
}

std::wstring CMinimumSpreadIndex::Fold(const CString& code) {
    std::wstring folded = ToStdWString(code);
    for (wchar_t& ch : folded) {
        ch = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
    }
    return folded;
}

void CMinimumSpreadIndex::AddAccountMerch(const CForexMerch& merch) {
    auto [slot, added] = m_account.try_emplace(Fold(merch.MerchCode), 0.0f);
    (void)added;
    slot->second = Widen(slot->second, merch.MinSpread);
}

void CMinimumSpreadIndex::AddCenterMerch(const CForexMerch& merch) {
    m_center.try_emplace(Fold(merch.MerchCode), merch.MinSpread);  // the first one stays
}

float CMinimumSpreadIndex::Find(const CString& code) const {
    const std::wstring folded = Fold(code);
    float spread = 0;
    if (auto account = m_account.find(folded); account != m_account.end()) {
        spread = account->second;
    }
    if (auto first = m_center.find(folded); first != m_center.end()) {
        spread = Widen(spread, first->second);
    }
    return spread;
}
