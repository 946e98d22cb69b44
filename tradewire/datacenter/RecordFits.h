#pragma once
// Whether one record can be assigned over another without allocating: every text of the source
// fits the buffer that the target's string already holds. The list getters ask it first, so
// that they can reuse the caller's buffers and still never leave a copy half done. One
// overload per record kept in a list; each names every text field of its record.

#include "tradewire/Records.h"

inline bool FitsWithoutAllocation(const CString& source, const CString& target) {
    // An empty source needs no room, so the target's block is not even looked at.
    return source.IsEmpty() || source.GetLength() <= target.GetAllocLength();
}

// True when every named member of `source` fits the same member of `target`.
template <class Record, class... Member>
bool MembersFit(const Record& source, const Record& target, Member Record::*... members) {
    return (FitsWithoutAllocation(source.*members, target.*members) && ...);
}

inline bool FitsWithoutAllocation(const CForexRealtimePrice& source,
                                  const CForexRealtimePrice& target) {
    using R = CForexRealtimePrice;
    return MembersFit(source, target, &R::MerchCode, &R::QuoteStamp);
}

inline bool FitsWithoutAllocation(const CForexMerch& source, const CForexMerch& target) {
    using R = CForexMerch;
    return MembersFit(source, target, &R::MerchCode, &R::MerchName, &R::Value29, &R::Value32,
                      &R::Value41, &R::RealtimePrice);
}

inline bool FitsWithoutAllocation(const COrderInfo& source, const COrderInfo& target) {
    using R = COrderInfo;
    return MembersFit(source, target, &R::AccountCode, &R::MerchCode, &R::Value3, &R::Value5,
                      &R::Value9, &R::Value28);
}

inline bool FitsWithoutAllocation(const CBargain& source, const CBargain& target) {
    using R = CBargain;
    return MembersFit(source, target, &R::Value1, &R::MerchCode, &R::Value3, &R::Value4, &R::Value8,
                      &R::Value9);
}

inline bool FitsWithoutAllocation(const CHistoryOrderInfo& source,
                                  const CHistoryOrderInfo& target) {
    using R = CHistoryOrderInfo;
    return MembersFit(source, target, &R::Value1, &R::Value2, &R::MerchCode, &R::Value5, &R::Value6,
                      &R::Value9, &R::Value10, &R::Value15, &R::Value16, &R::Value19, &R::Value20);
}

inline bool FitsWithoutAllocation(const CCurrency& source, const CCurrency& target) {
    using R = CCurrency;
    return MembersFit(source, target, &R::CurrencyCode, &R::Value2, &R::Value3);
}
