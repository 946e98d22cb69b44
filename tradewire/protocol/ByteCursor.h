#pragma once
// A read position over one message body (or one section, record or field of it). Cut gives
// exactly the results of cutting at a separator from the front of a string: the bytes before
// the first separator, consuming them and the separator; when there is no separator, an empty
// item and nothing consumed. Only the position moves, so reading a body is linear in its size.
// The viewed bytes must outlive the cursor.

#include <string_view>

#include "tradewire/CString.h"

class CByteCursor {
  public:
    CByteCursor() = default;
    explicit CByteCursor(std::string_view text) : m_rest(text) {}

    bool IsEmpty() const { return m_rest.empty(); }
    std::string_view Rest() const { return m_rest; }

    std::string_view Cut(char separator) {
        const size_t end = m_rest.find(separator);
        if (end == std::string_view::npos) {
            return std::string_view();
        }
        const std::string_view item = m_rest.substr(0, end);
        m_rest.remove_prefix(end + 1);
        return item;
    }

    CByteCursor CutCursor(char separator) { return CByteCursor(Cut(separator)); }

    // One field (ended by 0x01) read the way the wire conventions say, with the number readers
    // of NumberText.h: integers saturate, floating numbers are finite and within their type.
    std::string_view CutField() { return Cut(kFieldEnd); }
    int CutInt();
    double CutDouble();
    float CutFloat();
    CString CutText();

    static constexpr char kFieldEnd = '\x01';
    static constexpr char kHeaderEnd = '\x03';
    static constexpr char kRecordEnd = '\x04';
    static constexpr char kSectionEnd = '\x05';

  private:
    std::string_view m_rest;
};
