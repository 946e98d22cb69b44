#pragma once
// Frames and fields in the byte layout both ends of a trading connection share (its codes and
// control bytes are in vocabulary/WireVocabulary.h). Everything here works on plain byte strings
// and keeps no state beyond the object itself; one thread uses one object.

#include <string>
#include <string_view>

#include "vocabulary/WireVocabulary.h"

namespace sim {

// A frame as the server sends it: length, zero field, code, 0x03, body, 0x04, then CR LF.
std::string PackServerFrame(int code, std::string_view body);

// Appends fields, records and sections to a body. Texts must not hold control bytes; callers
// pass texts of their own making.
class FieldWriter {
  public:
    FieldWriter& Text(std::string_view text);
    FieldWriter& Int(long long value);
    // Fixed decimals, for prices (digits of the instrument) and money (two).
    FieldWriter& Fixed(double value, int decimals);
    // The shortest text that reads back as the same float, so the client's float sees exactly
    // the value we keep (lots are compared for equality on the client).
    FieldWriter& Float(float value);
    FieldWriter& Empty(int count = 1);
    FieldWriter& EndRecord();
    FieldWriter& EndSection();
    FieldWriter& Raw(std::string_view bytes);

    const std::string& Body() const { return m_body; }

  private:
    std::string m_body;
};

// Cuts items off the front of a body, the way the client reads them: an item without its
// terminator reads as empty and nothing is consumed.
class FieldReader {
  public:
    explicit FieldReader(std::string_view body) : m_rest(body) {}

    std::string_view Next(char separator = wire::kFieldEnd);
    int NextInt();
    double NextDouble();
    std::string_view Rest() const { return m_rest; }

  private:
    std::string_view m_rest;
};

// A request frame split into its parts. The declared length is checked against the bytes
// that arrived, so a frame that was cut or joined wrongly is reported rather than guessed at.
struct RequestFrame {
    int code = 0;
    std::string body;  // without the closing 0x04
    bool lengthMatches = false;
};

bool ParseRequestFrame(std::string_view line, RequestFrame& frame);

// Collects the bytes of a client connection and hands out one request line at a time
// (requests end in a single line feed).
class RequestSplitter {
  public:
    void Append(std::string_view bytes) { m_pending.append(bytes); }
    bool Next(std::string& line);
    size_t PendingSize() const { return m_pending.size(); }

  private:
    std::string m_pending;
};

// The leading number of a text, 0 when there is none (what the client's atoi and atof read).
int LeadingInt(std::string_view text);
double LeadingDouble(std::string_view text);

// Control bytes shown as <01>, <03>... for logs and test messages.
std::string Printable(std::string_view bytes);

}  // namespace sim
