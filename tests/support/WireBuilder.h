#pragma once
// Builds inbound wire text for tests: a body of fields, records and sections, and the frame or
// line a server sends it in. Each call appends exactly what it names; nothing is added behind
// the caller's back, so hostile bodies (missing terminators, extra bytes) are easy to write.
//
//   std::string body = CWireBody().Text("EURUSD").Num(1.2).EndRecord().Str();
//   std::string line = InboundLine(9511, body);   // frame + "\r\n"

#include <string>
#include <string_view>

class CWireBody {
  public:
    CWireBody& Text(std::string_view text);  // text, 0x01
    CWireBody& Int(long long value);         // decimal, 0x01
    CWireBody& Num(double value);            // shortest round-trip form, 0x01
    CWireBody& Empty(int count = 1);         // `count` empty fields
    CWireBody& EndRecord();                  // 0x04
    CWireBody& EndSection();                 // 0x05
    CWireBody& Raw(std::string_view bytes);  // appended as is

    const std::string& Str() const { return m_text; }
    operator std::string_view() const { return m_text; }  // NOLINT(google-explicit-constructor)

  private:
    std::string m_text;
};

// "LLLLLL" "000000" code 0x03 body, with the declared length equal to the frame's size (or
// `declaredLength` when it is not negative).
std::string InboundMessage(int code, std::string_view body, int declaredLength = -1);
// The message followed by the inbound line end 0x0D 0x0A.
std::string InboundLine(int code, std::string_view body);
