#include "datacenter/CodePositions.h"

#include <cwctype>

namespace {

const std::vector<INT_PTR> kNowhere;

}  // namespace

wchar_t CCodePositions::KeyChar(wchar_t ch) const {
    return m_match == EMatch::Exact ? ch
                                    : static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
}

std::wstring CCodePositions::KeyOf(const CString& code) const {
    std::wstring key = code.GetStdString();
    for (wchar_t& ch : key) {
        ch = KeyChar(ch);
    }
    return key;
}

bool CCodePositions::HasKey(const CString& code, const std::wstring& key) const {
    const std::wstring& text = code.GetStdString();
    if (text.size() != key.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (KeyChar(text[i]) != key[i]) {
            return false;
        }
    }
    return true;
}

const std::vector<INT_PTR>& CCodePositions::Find(const CForexMerchArray& merchs,
                                                 const CString& code) {
    if (!IsBuiltFrom(merchs)) {
        Rebuild(merchs);
    }
    // An exact key is the code itself; a folded one is made in storage kept from the last
    // lookup, so a lookup allocates nothing.
    if (m_match == EMatch::IgnoringCase) {
        m_folded.assign(code.GetStdString());
        for (wchar_t& ch : m_folded) {
            ch = KeyChar(ch);
        }
    }
    const std::wstring& key = m_match == EMatch::Exact ? code.GetStdString() : m_folded;
    auto found = m_positions.find(key);
    if (found == m_positions.end()) {
        return kNowhere;
    }
    for (const INT_PTR position : found->second) {
        if (!HasKey(merchs[position].MerchCode, key)) {
            // A code was changed in place behind the positions' back: start again.
            Rebuild(merchs);
            found = m_positions.find(key);
            return found == m_positions.end() ? kNowhere : found->second;
        }
    }
    return found->second;
}

void CCodePositions::Rebuild(const CForexMerchArray& merchs) {
    m_positions.clear();
    m_positions.reserve(static_cast<size_t>(merchs.GetSize()));
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        m_positions[KeyOf(merchs[i].MerchCode)].push_back(i);
    }
    m_data = merchs.GetData();
    m_size = merchs.GetSize();
    m_stale = false;
}
