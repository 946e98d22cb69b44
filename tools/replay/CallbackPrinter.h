#pragma once
// A sink that turns every callback into text lines, the replay's output form (README, "Capture
// and replay"). Also used by tests on a live connection, so a live session and its replay can
// be compared line by line. Thread-safe: callbacks may come from any thread; each callback's
// lines are handed on together, under the printer's lock, in the order the calls came.
//
//   <callback> [<fields>]                one line per callback, e.g.
//     OnErrorCode code=101
//     OnTextMessage text=Logged\u0020out:\u0020demo
//     OnBargainOpened BargainNo=7 ...    (a record's fields as RecordText writes them)
//     OnForexMerchs n=2                  (a list: its size, then one line per record:)
//       - MerchCode=EURUSD MerchNo=1 ...
//   OnAccountInfo is followed by its fund lines and its instruments as list lines.

#include <tradewire/Tradewire.h>

#include <functional>
#include <mutex>
#include <string>

#include "RecordText.h"
#include "common/notify/CallbackForwarder.h"

class CCallbackPrinter : public CCallbackForwarder<CCallbackPrinter> {
  public:
    using Output = std::function<void(const std::string& line)>;

    explicit CCallbackPrinter(Output output) : m_output(std::move(output)) {}
    CCallbackPrinter(const CCallbackPrinter&) = delete;
    CCallbackPrinter& operator=(const CCallbackPrinter&) = delete;
    ~CCallbackPrinter() = default;

    // Put before every line from now on (the replay's --pace time); empty for none.
    void SetPrefix(std::string prefix);

    // The list form above, for the replay's --stores.
    template <typename Record>
    static std::string ListLines(const char* name, const CArray<Record, Record&>& records);

  private:
    friend class CCallbackForwarder<CCallbackPrinter>;
    void OnPlain(const char* name) { Emit(name); }
    template <class Number>
    void OnValue(const char* name, const char* field, Number value) {
        Emit(std::string(name) + " " + field + "=" + std::to_string(value));
    }
    void OnValue(const char* name, const char* field, const CString& text);
    template <class Record>
    void OnRecord(const char* name, const Record& record) {
        std::string text = name;
        RecordText::Append(text, record);
        Emit(text);
    }
    void OnRecord(const char* name, const CAccountInfo& account);
    template <class Record>
    void OnList(const char* name, const CArray<Record, Record&>& list) {
        Emit(ListLines(name, list));
    }

    void Emit(const std::string& text);

    std::mutex m_mutex;
    Output m_output;       // called under m_mutex
    std::string m_prefix;  // guarded by m_mutex
};

template <typename Record>
std::string CCallbackPrinter::ListLines(const char* name, const CArray<Record, Record&>& records) {
    std::string text = std::string(name) + " n=" + std::to_string(records.GetSize());
    for (INT_PTR i = 0; i < records.GetSize(); ++i) {
        text += "\n  -";
        RecordText::Append(text, records.GetAt(i));
    }
    return text;
}
