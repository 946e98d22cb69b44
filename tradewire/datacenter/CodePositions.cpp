#include "datacenter/CodePositions.h"

#include <cwctype>

#include "vocabulary/WideText.h"

namespace {

const std::vector<INT_PTR> kNowhere;

}  // namespace

wchar_t CCodePositions::KeyChar(wchar_t ch) {
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
}

std::wstring CCodePositions::KeyOf(const CString& code) {
    std::wstring key(WideView(code));
    for (wchar_t& ch : key) {
        ch = KeyChar(ch);
    }
    return key;
}

bool CCodePositions::HasKey(const CString& code, const std::wstring& key) {
    const std::wstring_view text = WideView(code);
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
    const std::wstring_view asked = WideView(code);
    if (m_lastFound != m_positions.end() && asked == m_lastCode &&
        StillMatches(merchs, m_lastFound->second, m_lastFound->first)) {
        return m_lastFound->second;
    }
    auto found = m_positions.find(KeyFor(asked));
    if (found != m_positions.end() && !StillMatches(merchs, found->second, found->first)) {
        // A code was changed in place behind the positions' back: start again.
        Rebuild(merchs);
        found = m_positions.find(KeyFor(asked));
    }
    if (found == m_positions.end()) {
        m_lastFound = m_positions.end();
        return kNowhere;
    }
    m_lastCode.assign(asked);
    m_lastFound = found;
    return found->second;
}

const std::wstring& CCodePositions::KeyFor(std::wstring_view code) {
    // Folded in storage kept from the last lookup, so a lookup allocates nothing.
    m_folded.assign(code);
    for (wchar_t& ch : m_folded) {
        ch = KeyChar(ch);
    }
    return m_folded;
}

bool CCodePositions::StillMatches(const CForexMerchArray& merchs,
                                  const std::vector<INT_PTR>& positions,
                                  const std::wstring& key) const {
    for (const INT_PTR position : positions) {
        if (!HasKey(merchs[position].MerchCode, key)) {
            return false;
        }
    }
    return true;
}

void CCodePositions::Rebuild(const CForexMerchArray& merchs) {
    m_positions.clear();
    m_lastFound = m_positions.end();
    m_positions.reserve(static_cast<size_t>(merchs.GetSize()));
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        m_positions[KeyOf(merchs[i].MerchCode)].push_back(i);
    }
    m_data = merchs.GetData();
    m_size = merchs.GetSize();
    m_stale = false;
}
