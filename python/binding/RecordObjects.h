#pragma once
// The library's records as Python values: each record becomes a dict keyed by its C++ field
// names in declaration order (nested records and record lists likewise, fixed-size fields as
// lists), texts become str and 32-bit floats the shortest decimal that reads back as the same
// float, so 1.085f shows as 1.085. The package's record classes wrap these dicts. Every
// function here needs the GIL.

#include <pybind11/pybind11.h>
#include <tradewire/Records.h>

namespace pyrecords {

pybind11::str Text(const CString& text);
// The text of a Python str; characters beyond what wchar_t holds cannot occur on Linux.
CString TextOf(const pybind11::handle& text);

pybind11::dict ToDict(const CForexRealtimePrice& record);
pybind11::dict ToDict(const CForexMerch& record);
pybind11::dict ToDict(const COrderInfo& record);
pybind11::dict ToDict(const CBargain& record);
pybind11::dict ToDict(const CHistoryOrderInfo& record);
pybind11::dict ToDict(const CCurrency& record);
pybind11::dict ToDict(const CBroadCast& record);
pybind11::dict ToDict(const CGroup& record);
pybind11::dict ToDict(const CBaseInfo& record);
pybind11::dict ToDict(const CFundInfo& record);
pybind11::dict ToDict(const CAccountInfo& record);

template <class Record>
pybind11::list ToList(const CArray<Record, Record&>& records) {
    pybind11::list list(records.GetSize());
    for (INT_PTR i = 0; i < records.GetSize(); ++i) {
        list[static_cast<size_t>(i)] = ToDict(records[i]);
    }
    return list;
}

// An order from a dict of C++ field names; fields not named stay 0 or empty. Raises
// ValueError on a name COrderInfo does not have and TypeError on a value of the wrong type.
COrderInfo OrderFromDict(const pybind11::dict& fields);

// {"CBargain": ["Value1", "MerchCode", ...], ...}: every record's field names in order.
pybind11::dict FieldNames();

}  // namespace pyrecords
