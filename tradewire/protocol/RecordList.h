#pragma once
// Reads a list of records into a store: one element per record, each made by `read` from its
// fields, appended in wire order. The caller empties the store first when the message
// replaces it; the dispatcher holds the store's lock around the call.

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
