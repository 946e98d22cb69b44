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
#include "vocabulary/WideText.h"

inline CString Wide(const char* text) {
    return ToCString(std::wstring(text, text + strlen(text)));
}
// The text Numbered() puts in field `field`.
inline CString NumberedText(int field) {
    return Wide((std::to_string(field) + ".25").c_str());
}

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
    static CWireBody NumberedRecord(int last) {
        CWireBody body;
        Numbered(body, 1, last).EndRecord();
        return body;
    }
    // What `get` reads back after one message of `code` with `body`, which must be handled.
    template <class RECORD>
    CArray<RECORD, RECORD&> ListAfter(int code, std::string_view body,
                                      void (CForexDataCenter::*get)(CArray<RECORD, RECORD&>&)) {
        EXPECT_EQ(Feed(code, body), wire::Result::Handled);
        CArray<RECORD, RECORD&> list;
        (Center().*get)(list);
        return list;
    }

    CForexProtocol protocol;
    CRecordingSink sink;
};

using Lines = std::vector<std::string>;
using wire::Result;

// A parsed member and the number of the Numbered() field it must have been read from: a text
// reads "i.25", an integer i, a float or double i + 0.25 (exact in both).
class FromField {
  public:
    FromField(const CString& text, int field) : m_text(&text), m_field(field) {}
    FromField(int value, int field) : m_integer(value), m_isInteger(true), m_field(field) {}
    FromField(double value, int field) : m_number(value), m_field(field) {}

    void Check() const {
        if (m_text != nullptr) {
            EXPECT_EQ(*m_text, NumberedText(m_field)) << "field " << m_field;
        } else if (m_isInteger) {
            EXPECT_EQ(m_integer, m_field) << "field " << m_field;
        } else {
            EXPECT_DOUBLE_EQ(m_number, m_field + 0.25) << "field " << m_field;
        }
    }

  private:
    const CString* m_text = nullptr;  // the record outlives the check
    int m_integer = 0;
    bool m_isInteger = false;
    double m_number = 0;
    int m_field;
};

// Checks a record's members against their fields: ExpectFromFields(r.Code, 1, r.Lots, 4, ...).
inline void ExpectFromFields() {}
template <class MEMBER, class... REST>
void ExpectFromFields(const MEMBER& member, int field, const REST&... rest) {
    FromField(member, field).Check();
    ExpectFromFields(rest...);
}

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
