#pragma once
// A read position over one message body (or one section, record or field of it). Cut gives
// exactly the results of cutting at a separator from the front of a string: the bytes before
// the first separator, consuming them and the separator; when there is no separator, an empty
// item and nothing consumed. Only the position moves, so reading a body is linear in its size.
// The viewed bytes must outlive the cursor.

#include <cstddef>
#include <string_view>

#include "tradewire/CString.h"
#include "vocabulary/WireVocabulary.h"

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

    // Calls visit(CByteCursor&) with each item ended by `separator`, up to the first empty or
    // unterminated one: the way every list on the wire ends.
    template <class Visit>
    void ForEach(char separator, Visit&& visit) {
        for (CByteCursor item = CutCursor(separator); !item.IsEmpty();
             item = CutCursor(separator)) {
            visit(item);
        }
    }

    // One field (ended by 0x01) read the way the wire conventions say, with the number readers
    // of NumberText.h: integers saturate, floating numbers are finite and within their type.
    std::string_view CutField() { return Cut(wire::kFieldEnd); }
    int CutInt();
    double CutDouble();
    float CutFloat();
    CString CutText();

    // Reads the next fields into `targets` in wire order, each with the reader its type names
    // (CString, int, float or double); an array takes one field per element. A record's reader
    // then states its field list once, and a field whose type changes is read the new way.
    template <class... Targets>
    void CutInto(Targets&... targets) {
        (CutOne(targets), ...);
    }

  private:
    void CutOne(CString& target) { target = CutText(); }
    void CutOne(int& target) { target = CutInt(); }
    void CutOne(float& target) { target = CutFloat(); }
    void CutOne(double& target) { target = CutDouble(); }
    template <class Cell, size_t Count>
    void CutOne(Cell (&cells)[Count]) {
        for (Cell& cell : cells) {
            CutOne(cell);
        }
    }

    std::string_view m_rest;
};
