#pragma once
// A notification sink that turns each callback into one Python event: its callback name and a
// payload (a record dict, a list of them, a dict of the callback's numbers or text, or None).
// Callbacks come on the library's threads; each takes the GIL only for as long as it needs to
// build the payload and hand it to Deliver, and never lets an exception back into the library
// (a failing Deliver is reported as unraisable). Once Close has been called, or while the
// interpreter shuts down, callbacks return without touching Python.
//
// Threads: callbacks on any library thread; Close on any thread. The subclass owns what
// Deliver reaches; it must outlive every callback, so the connection that calls the sink is
// released before the sink is destroyed.

#include <pybind11/pybind11.h>
#include "RecordObjects.h"
#include "common/notify/CallbackForwarder.h"

#include <atomic>
#include <functional>

class CPythonSink : public CCallbackForwarder<CPythonSink> {
  public:
    void Close() { m_open.store(false); }
    bool IsOpen() const { return m_open.load(); }

  protected:
    CPythonSink() = default;
    ~CPythonSink() = default;
    // Called with the GIL held, on the thread of the callback.
    virtual void Deliver(const char* name, pybind11::object payload) = 0;

  private:
    friend class CCallbackForwarder<CPythonSink>;
    void OnPlain(const char* name) {
        Send(name, [] { return pybind11::none(); });
    }
    template <class Number>
    void OnValue(const char* name, const char* field, Number value) {
        Send(name, [field, value] { return pybind11::dict(pybind11::arg(field) = value); });
    }
    void OnValue(const char* name, const char* field, const CString& text) {
        Send(name, [field, &text] {
            return pybind11::dict(pybind11::arg(field) = pyrecords::Text(text));
        });
    }
    template <class Record>
    void OnRecord(const char* name, const Record& record) {
        Send(name, [&record] { return pyrecords::ToDict(record); });
    }
    template <class Record>
    void OnList(const char* name, const CArray<Record, Record&>& list) {
        Send(name, [&list] { return pyrecords::ToList(list); });
    }

    // The payload is made only once the GIL is held and the sink still open.
    void Send(const char* name, const std::function<pybind11::object()>& makePayload);

    std::atomic<bool> m_open{true};
};
