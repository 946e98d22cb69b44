#pragma once
// Where the instruments with a given code stand in one instrument list, in constant time: the
// positions, in list order, of every instrument whose code matches ignoring letter case
// (towlower on each character). Its first position is the instrument a walk from the front
// stops at.
//
// Not synchronised: whoever guards the list guards its positions. The positions rebuild
// themselves when the list's storage or length changed since they were built, and when a
// position they answer no longer holds a matching code; a writer that may change codes
// without either calls Invalidate.
//
// A quote looks its code up twice in a row (for its spread, then to store it), so the last
// lookup is remembered and a repeat of the same code skips the fold and the hash.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tradewire/Records.h"

class CCodePositions {
  public:
    // Every position in `merchs` whose code matches `code`, in list order; empty if none. Valid
    // until the next call.
    const std::vector<INT_PTR>& Find(const CForexMerchArray& merchs, const CString& code);
    // The next Find rebuilds from the list as it is then.
    void Invalidate() { m_stale = true; }

  private:
    static wchar_t KeyChar(wchar_t ch);
    static std::wstring KeyOf(const CString& code);
    static bool HasKey(const CString& code, const std::wstring& key);
    // The key `code` is filed under; valid until the next call.
    const std::wstring& KeyFor(std::wstring_view code);
    // Whether every position still holds a code filed under `key`.
    bool StillMatches(const CForexMerchArray& merchs, const std::vector<INT_PTR>& positions,
                      const std::wstring& key) const;
    void Rebuild(const CForexMerchArray& merchs);
    bool IsBuiltFrom(const CForexMerchArray& merchs) const {
        return !m_stale && merchs.GetData() == m_data && merchs.GetSize() == m_size;
    }

    using CPositionsByKey = std::unordered_map<std::wstring, std::vector<INT_PTR>>;

    CPositionsByKey m_positions;          // key -> positions
    const CForexMerch* m_data = nullptr;  // the list the positions were taken from
    INT_PTR m_size = 0;
    bool m_stale = true;
    std::wstring m_folded;  // the last lookup's folded key
    // The last lookup: the code as asked, and its entry (end() when it had none, or since a
    // rebuild).
    std::wstring m_lastCode;
    CPositionsByKey::const_iterator m_lastFound = m_positions.end();
};
