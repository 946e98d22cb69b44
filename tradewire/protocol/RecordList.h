#pragma once
// Reads a list of records into a store: one element per record, each made by `read` from its
// fields, appended in wire order. ReadRecords appends (for a list the caller builds up);
// ReplaceRecords empties the store first, for a message that carries the whole list. The
// dispatcher holds the store's lock around the call.

#include "protocol/ByteCursor.h"
#include "tradewire/CArray.h"

template <class TYPE, class Read>
void ReadRecords(CByteCursor records, CArray<TYPE, TYPE&>& list, Read read) {
    records.ForEach(wire::kRecordEnd, [&](CByteCursor& fields) {
        TYPE element;
        read(fields, element);
        list.Add(element);
    });
}

template <class TYPE, class Read>
void ReplaceRecords(std::string_view body, CArray<TYPE, TYPE&>& list, Read read) {
    list.SetSize(0);
    ReadRecords(CByteCursor(body), list, read);
}
