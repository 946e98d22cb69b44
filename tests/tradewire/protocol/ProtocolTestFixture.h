#pragma once
// A protocol object with a recording sink on its data center, and helpers to feed it messages.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RecordingSink.h"
#include "WireBuilder.h"
#include "datacenter/DataCenterAccess.h"
#include "protocol/ForexProtocol.h"

class ProtocolTest : public ::testing::Test {
  protected:
    ProtocolTest() { Center().SetNotify(&sink); }

    CForexDataCenter& Center() { return *protocol.GetDataCenter(); }
    CDataCenterAccess Access() { return CDataCenterAccess(Center()); }
    wire::Result Feed(int code, std::string_view body) {
        return protocol.Dispatch(InboundMessage(code, body));
    }
    std::vector<std::string> Log() const { return sink.Lines(); }

    // A record whose field i (from 1) reads "i.25": atoi gives i, atof i + 0.25, text "i.25".
    static CWireBody& Numbered(CWireBody& body, int first, int last) {
        for (int i = first; i <= last; ++i) {
            body.Text(std::to_string(i) + ".25");
        }
        return body;
    }
    static CString Wide(const char* text) {
        return CString(std::wstring(text, text + strlen(text)));
    }
    static CString NumberedText(int field) { return Wide((std::to_string(field) + ".25").c_str()); }

    CForexProtocol protocol{nullptr};
    CRecordingSink sink;
};

using Lines = std::vector<std::string>;
using wire::Result;

// One instrument record (88 fields) with the fields the spread rule looks at; the rest empty.
inline CWireBody& MerchRecord(CWireBody& body, const char* code, double minSpread, double bid,
                              double ask) {
    body.Text(code).Empty(13).Num(minSpread).Empty(6).Num(bid).Num(ask).Empty(65);
    return body.EndRecord();
}

inline CForexMerch MakeMerch(const wchar_t* code, float minSpread) {
    CForexMerch merch;
    merch.MerchCode = code;
    merch.MinSpread = minSpread;
    return merch;
}

inline void AddMerch(CForexMerchArray& list, const wchar_t* code, float minSpread) {
    CForexMerch merch = MakeMerch(code, minSpread);
    list.Add(merch);
}
