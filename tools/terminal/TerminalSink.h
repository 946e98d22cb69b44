#pragma once
// The terminal's notification sink. The library calls it on its processing thread (and, for
// connection errors, on the thread that connects); the terminal's own thread waits on it for
// the events it needs. All members below the lock are guarded by m_lock; the sink never calls
// the library while holding m_lock, and the terminal's thread never holds m_lock while it
// calls the library, so the library's locks and ours cannot be taken in opposite orders.

#include <tradewire/Tradewire.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace term {

struct LatencyFigures {
    size_t count = 0;
    double medianMs = 0;
    double p90Ms = 0;
    double worstMs = 0;
};

// Median, 90th percentile and worst of a set of samples in microseconds.
LatencyFigures SummariseLatency(std::vector<long long> micros);

class TerminalSink final : public CForexNotifyAdapter {
  public:
    TerminalSink() = default;

    void SetDataCenter(CForexDataCenter* dataCenter) { m_dataCenter = dataCenter; }

    // Waits until the predicate, read under the sink's lock, holds; false on time-out.
    bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit);

    // Login progress, read by predicates passed to WaitUntil.
    bool LoggedIn() const { return m_loggedIn; }
    bool BargainListSeen() const { return m_bargainListSeen; }
    int LastError() const { return m_lastError; }
    bool ConnectionLost() const { return m_connectionLost; }
    void BeginLogin();

    // The reply to the request with this internal number completes ReplyArrived.
    void ExpectReply(int internalNo);
    bool ReplyArrived() const { return m_replyArrived; }

    void ExpectHistory();
    bool HistoryArrived() const { return m_historyArrived; }

    void ShowTicks(int count);
    void StartLatency(size_t quotes);
    bool LatencyDone() const { return m_latencySamples.size() >= m_latencyTarget; }
    LatencyFigures TakeLatency();

    int LastBargainNo() const;
    int LastOrderNo() const;

    // The login's progress and the connection's state, for WaitUntil; errors are printed.
    void OnErrorCode(int code) override;
    void OnLoginReply() override;
    void OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) override;
    void OnSocketError(unsigned long error) override;
    // The server's words, printed.
    void OnTextMessage(const CString& text) override;
    void OnBroadCast(CBroadCast& broadCast) override;
    // Kept for later lines: the balance after a close, each instrument's digits.
    void OnAccountInfo(CAccountInfo& account) override;
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) override;
    // A close's line once its history line is in, or the requested history; ticks and their
    // latency.
    void OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) override;
    void OnRealtimePrice(const CForexMerch& merch) override;
    // A deal or a carried-out request is printed (a closing deal once its history line is in);
    // the one we wait for completes the awaited reply.
    void OnBargainOpened(const CBargain& bargain) override;
    void OnBargainClosed(const CBargain& closingDeal) override;
    void OnOrderAdded(const COrderInfo& order) override;
    void OnOrderChanged(const COrderInfo& order) override;
    void OnOrderDeleted(const COrderInfo& order) override;
    // A refusal prints the server's reason and completes the awaited reply.
    void OnOpenRefused(const COrderInfo& reply) override;
    void OnCloseRefused(const COrderInfo& reply) override;
    void OnOrderRefused(const COrderInfo& reply) override;
    void OnChangeRefused(const COrderInfo& reply) override;
    void OnDeleteRefused(const COrderInfo& reply) override;

  private:
    // Marks the awaited reply as arrived when the event carries its number.
    bool Answer(int internalNo);
    void Refused(const char* what, const COrderInfo& reply);
    int Digits(const CString& code);
    void Notify();

    CForexDataCenter* m_dataCenter = nullptr;

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_loggingIn = false;
    bool m_loggedIn = false;
    bool m_bargainListSeen = false;
    int m_lastError = 0;
    bool m_connectionLost = false;
    int m_awaitedInternalNo = -1;
    bool m_replyArrived = false;
    bool m_historyExpected = false;
    bool m_historyArrived = false;
    bool m_closing = false;
    CBargain m_closingDeal;
    double m_closingLeft = 0;  // lots of the position the closing deal left open
    double m_balanceAfterClose = 0;
    int m_ticksToShow = 0;
    size_t m_latencyTarget = 0;
    std::vector<long long> m_latencySamples;
    int m_lastBargainNo = 0;
    int m_lastOrderNo = 0;
    std::map<std::wstring, int> m_digits;
};

}  // namespace term
