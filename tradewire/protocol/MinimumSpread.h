#pragma once
// The minimum spread that a first quote (instrument lists) or a live quote (9518) is widened to.
// Account pass: the widest MinSpread among the account's own instruments with the code (every
// one of them is looked at). Data-center pass: the first instrument of the instrument list with
// the code, taken when it is at least as wide. Spreads start at 0, so a negative MinSpread never
// narrows anything.
//
// Codes match ignoring letter case character by character (towlower on each character, as the
// account pass' case-insensitive comparison does). The data-center pass' comparison is a
// case-insensitive collation; under the C locale's collation that is the same per-character
// comparison, so both passes use it.
//
// Everything here runs on the processing thread, the only writer of both lists. The account's
// list is read without the account lock for that reason; the instrument list is read under the
// instrument lock (entered recursively when the caller already holds it).

#include <string>
#include <unordered_map>

#include "datacenter/DataCenterAccess.h"

bool EqualsNoCase(const CString& a, const CString& b);

// The two passes as walks over the lists: linear in their lengths per call.
float FindMinimumSpread(CDataCenterAccess& center, const CString& code);
// The same answer through the data center's quote index, in constant time: used per quote.
float FindQuoteSpread(CDataCenterAccess& center, const CString& code);

// The same answers while a list parser rebuilds one of the two lists, in constant time per
// lookup, so reading n instruments costs n lookups instead of n walks over a growing list. Made
// after the target list was emptied; the parser reports every instrument it appends to either
// list, so the index always answers what the walk over the lists at that moment would.
class CMinimumSpreadIndex {
  public:
    explicit CMinimumSpreadIndex(CDataCenterAccess& center);

    void AddAccountMerch(const CForexMerch& merch);
    void AddCenterMerch(const CForexMerch& merch);
    float Find(const CString& code) const;

  private:
    static std::wstring Fold(const CString& code);

    // Folded code -> the account pass' result over the account's instruments so far.
    std::unordered_map<std::wstring, float> m_account;
    // Folded code -> MinSpread of the first instrument in the instrument list.
    std::unordered_map<std::wstring, float> m_center;
};
