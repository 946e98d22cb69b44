#pragma once
// What a quote looks up, in constant time however many instruments are held: the instrument it
// is stored in (the first of the instrument list whose code equals the quote's exactly), and
// the instruments its minimum spread is read from (those of the instrument list and of the
// account's own list whose codes equal it ignoring letter case). Each answers what a walk from
// the front answers. One index per data center, kept in a table beside it: the data center's
// layout is fixed for the callers compiled against it.
//
// Locks: every use of one data center's index is made holding that center's instrument lock,
// which guards the index as it guards the list. The table has a lock of its own, held only to
// find, make or drop an entry, with nothing else taken inside it. The account's list is read
// only by the processing thread, its one writer (as the minimum-spread walk reads it).
//
// An exact match is also a match ignoring case, so the exact lookup is answered from the
// ignoring-case positions: one table for both, and the quote's second lookup of its code is
// the remembered first one.
//
// Keeping in step: see CCodePositions. The parsers that refill either list, and anything that
// hands a list to a sink by reference, call Invalidate.

#include <vector>

#include "datacenter/CodePositions.h"
#include "tradewire/ForexDataCenter.h"

class CQuoteIndex {
  public:
    // The position in the instrument list of the first instrument with exactly `code`, -1 if
    // none.
    INT_PTR Find(const CForexMerchArray& merchs, const CString& code);
    // Every position in the instrument list, or in the account's own list, whose code equals
    // `code` ignoring letter case, in list order.
    const std::vector<INT_PTR>& FindIgnoringCase(const CForexMerchArray& merchs,
                                                 const CString& code) {
        return m_centerIgnoringCase.Find(merchs, code);
    }
    const std::vector<INT_PTR>& FindInAccount(const CForexMerchArray& accountMerchs,
                                              const CString& code) {
        return m_accountIgnoringCase.Find(accountMerchs, code);
    }
    // The next lookups rebuild from the lists as they are then.
    void Invalidate();
    // The same, taking `center`'s instrument lock (recursively if the caller holds it).
    static void InvalidateFor(CForexDataCenter& center);

    // The index of `center`, made on first use. The caller holds center's instrument lock.
    static CQuoteIndex& Of(const CForexDataCenter& center);
    // Drops the index of a data center being destroyed, so a later one made at the same
    // address starts afresh.
    static void Forget(const CForexDataCenter& center);

  private:
    CCodePositions m_centerIgnoringCase;
    CCodePositions m_accountIgnoringCase;
};
