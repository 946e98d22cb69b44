#pragma once
// Whether one record can be assigned over another without allocating: every text of the source
// fits the buffer that the target's string already holds. The list getters ask it first, so
// that they can reuse the caller's buffers and still never leave a copy half done. One
// overload per record kept in a list; each names every text field of its record.

#include "tradewire/Records.h"

inline bool FitsWithoutAllocation(const CString& source, const CString& target) {
    return source.GetLength() <= target.GetAllocLength();
}

template <int N>
bool FitsEach(const CString (&source)[N], const CString (&target)[N]) {
    for (int i = 0; i < N; ++i) {
        if (!FitsWithoutAllocation(source[i], target[i])) {
            return false;
        }
    }
    return true;
}

inline bool FitsWithoutAllocation(const CForexRealtimePrice& source,
                                  const CForexRealtimePrice& target) {
    return FitsWithoutAllocation(source.MerchCode, target.MerchCode) &&
           FitsWithoutAllocation(source.QuoteStamp, target.QuoteStamp);
}

inline bool FitsWithoutAllocation(const CForexMerch& source, const CForexMerch& target) {
    return FitsWithoutAllocation(source.MerchCode, target.MerchCode) &&
           FitsWithoutAllocation(source.MerchName, target.MerchName) &&
           FitsWithoutAllocation(source.Value29, target.Value29) &&
           FitsWithoutAllocation(source.Value32, target.Value32) &&
           FitsWithoutAllocation(source.Value41, target.Value41) &&
           FitsWithoutAllocation(source.RealtimePrice, target.RealtimePrice);
}

inline bool FitsWithoutAllocation(const COrderInfo& source, const COrderInfo& target) {
    return FitsWithoutAllocation(source.AccountCode, target.AccountCode) &&
           FitsWithoutAllocation(source.MerchCode, target.MerchCode) &&
           FitsWithoutAllocation(source.Value3, target.Value3) &&
           FitsWithoutAllocation(source.Value5, target.Value5) &&
           FitsWithoutAllocation(source.Value9, target.Value9) &&
           FitsWithoutAllocation(source.Value28, target.Value28);
}

inline bool FitsWithoutAllocation(const CBargain& source, const CBargain& target) {
    return FitsWithoutAllocation(source.Value1, target.Value1) &&
           FitsWithoutAllocation(source.MerchCode, target.MerchCode) &&
           FitsWithoutAllocation(source.Value3, target.Value3) &&
           FitsWithoutAllocation(source.Value4, target.Value4) &&
           FitsWithoutAllocation(source.Value8, target.Value8) &&
           FitsWithoutAllocation(source.Value9, target.Value9);
}

inline bool FitsWithoutAllocation(const CHistoryOrderInfo& source,
                                  const CHistoryOrderInfo& target) {
    return FitsWithoutAllocation(source.Value1, target.Value1) &&
           FitsWithoutAllocation(source.Value2, target.Value2) &&
           FitsWithoutAllocation(source.MerchCode, target.MerchCode) &&
           FitsWithoutAllocation(source.Value5, target.Value5) &&
           FitsWithoutAllocation(source.Value6, target.Value6) &&
           FitsWithoutAllocation(source.Value9, target.Value9) &&
           FitsWithoutAllocation(source.Value10, target.Value10) &&
           FitsWithoutAllocation(source.Value15, target.Value15) &&
           FitsWithoutAllocation(source.Value16, target.Value16) &&
           FitsWithoutAllocation(source.Value19, target.Value19) &&
           FitsWithoutAllocation(source.Value20, target.Value20);
}

inline bool FitsWithoutAllocation(const CCurrency& source, const CCurrency& target) {
    return FitsWithoutAllocation(source.CurrencyCode, target.CurrencyCode) &&
           FitsWithoutAllocation(source.Value2, target.Value2) &&
           FitsWithoutAllocation(source.Value3, target.Value3);
}
