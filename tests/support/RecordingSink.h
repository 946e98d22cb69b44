#pragma once
// A sink for tests that writes every callback as one text line, so a test can compare the whole
// sequence of callbacks with their arguments against the expected one. Thread-safe: callbacks
// may arrive on any thread while a test thread reads or waits.
//
// Line format: the operation name, then its arguments.
//   OnErrorCode code=1234
//   OnTextMessage "abc\x01\x04"                     (text, control characters as \xNN)
//   OnLoginReply
//   OnAccountInfo ACC funds=1 merchs=2 internal=100 balance=5000
//   OnCurrencysInfo n=2 [USD usd=1, EUR usd=1.1]
//   OnForexMerchs n=1 [EURUSD bid=1.2 ask=1.2003 min=0.0003]
//   OnBargainsInfo n=1 [#11 EURUSD in=7 dir=40 close=0 lots=2 price=1.5 tp=0/0]
//   OnOrdersInfo n=1 [#21 EURUSD kind=64 in=7 bargain=0 tp=1.1/1.3]
//   OnHistoryOrderInfo n=1 [#12 open=#11 EURUSD lots=2 profit=3]
//   OnGroupInfo G1   |   OnBaseInfo B1 switch=0.5   |   OnBroadCast 3 title
//   OnRealtimePrice EURUSD bid=1.2 ask=1.2003 stamp=12:00 p3=1.1 p4=1.3
//   OnSocketError error=10054
//   OnBargainOpened / OnBargainClosed: one bargain as in OnBargainsInfo's list
//   OnOpenRefused, OnOrderAdded, ... OnDeleteRefused: one order as in OnOrdersInfo's list
// Numbers print with six significant digits (1.2003f prints 1.2003).

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/notify/CallbackForwarder.h"

class CRecordingSink : public CCallbackForwarder<CRecordingSink> {
  public:
    struct Entry {
        std::string line;
        std::thread::id thread;
    };

    CRecordingSink() = default;
    ~CRecordingSink() = default;
    CRecordingSink(const CRecordingSink&) = delete;
    CRecordingSink& operator=(const CRecordingSink&) = delete;

    std::vector<std::string> Lines() const;
    std::vector<Entry> Entries() const;
    void Clear();
    // True once at least `count` lines are logged; false when `timeout` passes first.
    bool WaitFor(size_t count, std::chrono::milliseconds timeout) const;
    // Called on the callback's thread after each line is logged, with no lock of the sink held,
    // so a test can react like a terminal would (call getters, send requests).
    void SetOnEntry(std::function<void(const std::string& line)> hook);

    // Its quote alone, not the whole instrument.
    void OnRealtimePrice(const CForexMerch& merch) override;

    // The formats above, for tests that build expected lines.
    static std::string Describe(const CString& text);
    static std::string Describe(const CForexMerch& merch);
    static std::string Describe(const CBargain& bargain);
    static std::string Describe(const COrderInfo& order);
    static std::string Describe(const CHistoryOrderInfo& line);
    static std::string Describe(const CCurrency& currency);
    static std::string Describe(const CAccountInfo& account);
    static std::string Describe(const CGroup& group);
    static std::string Describe(const CBaseInfo& baseInfo);
    static std::string Describe(const CBroadCast& broadCast);
    static std::string Describe(const CForexRealtimePrice& quote);

  private:
    friend class CCallbackForwarder<CRecordingSink>;
    // Each writes the callback's line in the format above.
    void OnPlain(const char* name);
    void OnValue(const char* name, const char* field, const CString& text);
    template <class Number>
    void OnValue(const char* name, const char* field, Number value) {
        Log(std::string(name) + " " + field + "=" + std::to_string(value));
    }
    template <class Record>
    void OnRecord(const char* name, const Record& record) {
        Log(std::string(name) + " " + Describe(record));
    }
    template <class Record>
    void OnList(const char* name, const CArray<Record, Record&>& list) {
        std::string line = std::string(name) + " n=" + std::to_string(list.GetSize()) + " [";
        for (INT_PTR i = 0; i < list.GetSize(); ++i) {
            line += (i == 0 ? "" : ", ") + Describe(list[i]);
        }
        Log(line + "]");
    }

    void Log(std::string line);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_logged;
    std::vector<Entry> m_entries;                       // guarded by m_mutex
    std::function<void(const std::string&)> m_onEntry;  // guarded by m_mutex
};
