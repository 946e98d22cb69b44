#include "TerminalSink.h"

#include <algorithm>
#include <cstdlib>

#include "Tables.h"
#include "TextOut.h"
#include "vocabulary/WideText.h"
#include "vocabulary/WireVocabulary.h"

namespace term {

namespace {

using Guard = std::lock_guard<std::mutex>;

long long NowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The simulator's two login errors, then the library's own codes.
std::string ErrorMeaning(int code) {
    switch (code) {
        case 101:
            return "wrong user name or password";
        case 102:
            return "not logged in";
        default:
            return tradewire::ErrorCodeName(code);
    }
}

std::string Reason(const COrderInfo& reply) {
    const std::string reason = Utf8(reply.Value28);
    return reason.empty() ? "no reason given" : reason;
}

std::string Signed(double amount) {
    return (amount >= 0 ? "+" : "") + FormatMoney(amount);
}

}  // namespace

LatencyFigures SummariseLatency(std::vector<long long> micros) {
    LatencyFigures figures;
    figures.count = micros.size();
    if (micros.empty()) {
        return figures;
    }
    std::sort(micros.begin(), micros.end());
    const size_t n = micros.size();
    const double median =
        n % 2 == 1 ? static_cast<double>(micros[n / 2]) : (micros[n / 2 - 1] + micros[n / 2]) / 2.0;
    figures.medianMs = median / 1000.0;
    figures.p90Ms = static_cast<double>(micros[std::min(n - 1, (n * 9) / 10)]) / 1000.0;
    figures.worstMs = static_cast<double>(micros.back()) / 1000.0;
    return figures;
}

bool TerminalSink::WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(m_lock);
    return m_changed.wait_for(lock, limit, ready);
}

void TerminalSink::Notify() {
    m_changed.notify_all();
}

void TerminalSink::BeginLogin() {
    const Guard guard(m_lock);
    m_loggingIn = true;
    m_loggedIn = false;
    m_bargainListSeen = false;
    m_lastError = 0;
}

void TerminalSink::ExpectReply(int internalNo) {
    const Guard guard(m_lock);
    m_awaitedInternalNo = internalNo;
    m_replyArrived = false;
}

void TerminalSink::ExpectHistory() {
    const Guard guard(m_lock);
    m_historyExpected = true;
    m_historyArrived = false;
}

void TerminalSink::ShowTicks(int count) {
    const Guard guard(m_lock);
    m_ticksToShow = count;
}

void TerminalSink::StartLatency(size_t quotes) {
    const Guard guard(m_lock);
    m_latencySamples.clear();
    m_latencyTarget = quotes;
}

LatencyFigures TerminalSink::TakeLatency() {
    std::vector<long long> samples;
    {
        const Guard guard(m_lock);
        samples.swap(m_latencySamples);
        m_latencyTarget = 0;
    }
    return SummariseLatency(std::move(samples));
}

int TerminalSink::LastBargainNo() const {
    const Guard guard(m_lock);
    return m_lastBargainNo;
}

int TerminalSink::LastOrderNo() const {
    const Guard guard(m_lock);
    return m_lastOrderNo;
}

bool TerminalSink::Answer(int internalNo) {
    if (internalNo != m_awaitedInternalNo) {
        return false;
    }
    m_replyArrived = true;
    m_awaitedInternalNo = -1;
    Notify();
    return true;
}

int TerminalSink::Digits(const CString& code) {
    const auto found = m_digits.find(ToStdWString(code));
    return found == m_digits.end() ? 5 : found->second;
}

void TerminalSink::OnErrorCode(int code) {
    {
        const Guard guard(m_lock);
        m_lastError = code;
        Notify();
    }
    PrintLine("Error " + std::to_string(code) + ": " + ErrorMeaning(code) + ".");
}

void TerminalSink::OnTextMessage(const CString& text) {
    // A server may end the text with a field or record byte; the screen shows only the words.
    std::string words = Utf8(text);
    while (!words.empty() && static_cast<unsigned char>(words.back()) < 0x20) {
        words.pop_back();
    }
    PrintLine("Notice: " + words);
}

void TerminalSink::OnLoginReply() {
    {
        const Guard guard(m_lock);
        m_loggedIn = true;
        Notify();
    }
    PrintLine("Logged in.");
}

void TerminalSink::OnAccountInfo(CAccountInfo& account) {
    const double balance = account.Funds.IsEmpty() ? 0.0 : account.Funds[0].Balance;
    const Guard guard(m_lock);
    if (m_closing) {
        m_balanceAfterClose = balance;
    }
}

void TerminalSink::OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) {
    const Guard guard(m_lock);
    for (INT_PTR index = 0; index < merchs.GetSize(); ++index) {
        m_digits[ToStdWString(merchs[index].MerchCode)] = DigitsOf(merchs[index]);
    }
}

void TerminalSink::OnBargainsInfo(CArray<CBargain, CBargain&>&) {
    const Guard guard(m_lock);
    if (m_loggingIn && m_loggedIn) {
        // The first bargain list after the login reply is the account's own; the order list
        // follows it at once.
        m_bargainListSeen = true;
        m_loggingIn = false;
        Notify();
    }
}

void TerminalSink::OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) {
    std::string line;
    {
        const Guard guard(m_lock);
        if (m_closing && !history.IsEmpty()) {
            // After a closing deal the list ends with the line that deal just added.
            const CHistoryOrderInfo& last = history[history.GetSize() - 1];
            const CBargain& b = m_closingDeal;
            line = std::string(m_closingLeft > 0 ? "Partly closed" : "Closed") + " position #" +
                   std::to_string(b.OpenBargainNo) + ": " + SideName(b.Direction) + " " +
                   FormatLots(b.Lots) + " " + Utf8(b.MerchCode) + " at " +
                   FormatPrice(b.Price, Digits(b.MerchCode)) + ", profit " + Signed(last.Profit) +
                   " USD, balance now " + FormatMoney(m_balanceAfterClose) + " USD" +
                   (m_closingLeft > 0 ? ", " + FormatLots(m_closingLeft) + " lots left" : "") + ".";
            m_closing = false;
            Answer(b.InternalNo);
        } else if (m_historyExpected) {
            m_historyExpected = false;
            m_historyArrived = true;
            Notify();
        }
    }
    if (!line.empty()) {
        PrintLine(line);
    }
}

void TerminalSink::OnBroadCast(CBroadCast& broadCast) {
    // The title is the line's label; a broadcast without one is a bulletin.
    const std::string title = Utf8(broadCast.Value4);
    PrintLine((title.empty() ? "Bulletin" : title) + ": " + Utf8(broadCast.Value5));
}

void TerminalSink::OnRealtimePrice(const CForexMerch& merch) {
    const long long stamp = std::strtoll(Utf8(merch.RealtimePrice.QuoteStamp).c_str(), nullptr, 10);
    const long long latency = stamp > 0 ? NowMicros() - stamp : -1;
    std::string line;
    {
        const Guard guard(m_lock);
        if (latency >= 0 && m_latencySamples.size() < m_latencyTarget) {
            m_latencySamples.push_back(latency);
            if (m_latencySamples.size() == m_latencyTarget) {
                Notify();
            }
        }
        if (m_ticksToShow > 0) {
            --m_ticksToShow;
            const int digits = DigitsOf(merch);
            line = "Tick " + Utf8(merch.MerchCode) + "  bid " +
                   FormatPrice(merch.RealtimePrice.Bid, digits) + "  ask " +
                   FormatPrice(merch.RealtimePrice.Ask, digits);
            if (latency >= 0) {
                line += "  (" + FormatPrice(latency / 1000.0, 1) + " ms after it left the server)";
            }
        }
    }
    if (!line.empty()) {
        PrintLine(line);
    }
}

void TerminalSink::OnSocketError(unsigned long error) {
    {
        const Guard guard(m_lock);
        // The library repeats the report every pass until we disconnect; say it once.
        if (m_connectionLost) {
            return;
        }
        m_connectionLost = true;
        Notify();
    }
    PrintLine("Connection lost (socket error " + std::to_string(error) + ").");
}

void TerminalSink::OnBargainOpened(const CBargain& b) {
    std::string line;
    {
        const Guard guard(m_lock);
        m_lastBargainNo = b.BargainNo;
        const std::string what = SideName(b.Direction) + std::string(" ") + FormatLots(b.Lots) +
                                 " " + Utf8(b.MerchCode) + " at " +
                                 FormatPrice(b.Price, Digits(b.MerchCode));
        if (Answer(b.InternalNo)) {
            line = "Opened position #" + std::to_string(b.BargainNo) + ": " + what + ".";
        } else {
            line = "Pending order #" + std::to_string(b.BargainNo) + " filled: " + what + ".";
        }
    }
    PrintLine(line);
}

void TerminalSink::Refused(const char* what, const COrderInfo& reply) {
    {
        const Guard guard(m_lock);
        Answer(reply.InternalNo);
    }
    PrintLine(std::string(what) + " refused by the server: " + Reason(reply) + ".");
}

void TerminalSink::OnOpenRefused(const COrderInfo& reply) {
    Refused("Open", reply);
}

void TerminalSink::OnBargainClosed(const CBargain& closingDeal) {
    // The position list already holds what the deal left of the position; read it before our
    // lock is taken.
    double left = 0;
    if (m_dataCenter != nullptr) {
        CBargainArray positions;
        m_dataCenter->GetBargainsInfo(positions);
        for (INT_PTR i = 0; i < positions.GetSize(); ++i) {
            if (positions[i].BargainNo == closingDeal.OpenBargainNo) {
                left = positions[i].Lots;
            }
        }
    }
    // The profit and the new balance follow in the account and history callbacks; the line
    // is printed once the history line is in.
    const Guard guard(m_lock);
    m_closing = true;
    m_closingDeal = closingDeal;
    m_closingLeft = left;
}

void TerminalSink::OnCloseRefused(const COrderInfo& reply) {
    Refused("Close", reply);
}

void TerminalSink::OnOrderAdded(const COrderInfo& o) {
    std::string line;
    {
        const Guard guard(m_lock);
        m_lastOrderNo = o.OrderNo;
        line = std::string(Answer(o.InternalNo) ? "Placed" : "Server added") + " pending order #" +
               std::to_string(o.OrderNo) + ": " + OrderKindName(o.OrderKind) + " " +
               FormatLots(static_cast<double>(o.Value11) / tradewire::kHundredthsPerLot) + " " +
               Utf8(o.MerchCode) + " at " + FormatPrice(o.Value14, Digits(o.MerchCode)) + ".";
    }
    PrintLine(line);
}

void TerminalSink::OnOrderRefused(const COrderInfo& reply) {
    Refused("Order", reply);
}

void TerminalSink::OnOrderChanged(const COrderInfo& o) {
    std::string line;
    {
        const Guard guard(m_lock);
        Answer(o.InternalNo);
        const int digits = Digits(o.MerchCode);
        const std::string triggers = "stop loss " + FormatTrigger(o.TriggerPrice1, digits) +
                                     ", take profit " + FormatTrigger(o.TriggerPrice2, digits);
        if (o.OrderKind == tradewire::kSetTriggers) {
            line = "Trigger prices of position #" + std::to_string(o.BargainNo) +
                   " set: " + triggers + ".";
        } else {
            line = "Changed pending order #" + std::to_string(o.OrderNo) + ": " +
                   OrderKindName(o.OrderKind) + " at " + FormatPrice(o.Value14, digits) + ", " +
                   triggers + ".";
        }
    }
    PrintLine(line);
}

void TerminalSink::OnChangeRefused(const COrderInfo& reply) {
    Refused("Change", reply);
}

void TerminalSink::OnOrderDeleted(const COrderInfo& o) {
    {
        const Guard guard(m_lock);
        Answer(o.InternalNo);
    }
    PrintLine("Deleted pending order #" + std::to_string(o.OrderNo) + ".");
}

void TerminalSink::OnDeleteRefused(const COrderInfo& reply) {
    Refused("Delete", reply);
}

}  // namespace term
