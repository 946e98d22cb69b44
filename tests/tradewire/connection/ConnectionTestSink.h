#pragma once
// A sink that records the two callbacks the connection object itself makes (error codes and
// socket errors) and ignores the rest. Thread-safe: callbacks arrive on worker threads.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "tradewire/AbsForexNotify.h"

class CConnectionTestSink : public CAbsForexNotify {
  public:
    std::vector<int> ErrorCodes() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_errorCodes;
    }
    std::vector<unsigned long> SocketErrors() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_socketErrors;
    }
    bool WaitForSocketErrors(size_t count, std::chrono::milliseconds timeout) const {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return m_socketErrors.size() >= count; });
    }
    // Runs on the callback's thread after the error is recorded, no lock of the sink held.
    void SetOnSocketError(std::function<void(unsigned long)> hook) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_onSocketError = std::move(hook);
    }

    void OnErrorCode(int code) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_errorCodes.push_back(code);
    }
    void OnSocketError(unsigned long error) override {
        std::function<void(unsigned long)> hook;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_socketErrors.push_back(error);
            hook = m_onSocketError;
            m_changed.notify_all();
        }
        if (hook) {
            hook(error);
        }
    }

    void OnTextMessage(const CString&) override {}
    void OnLoginReply() override {}
    void OnSpareA() override {}
    void OnAccountInfo(CAccountInfo&) override {}
    void OnCurrencysInfo(CArray<CCurrency, CCurrency&>&) override {}
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>&) override {}
    void OnBargainsInfo(CArray<CBargain, CBargain&>&) override {}
    void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>&) override {}
    void OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>&) override {}
    void OnGroupInfo(CGroup&) override {}
    void OnBaseInfo(CBaseInfo&) override {}
    void OnBroadCast(CBroadCast&) override {}
    void OnRealtimePrice(const CForexMerch&) override {}
    void OnBargainOpened(const CBargain&) override {}
    void OnOpenRefused(const COrderInfo&) override {}
    void OnBargainClosed(const CBargain&) override {}
    void OnCloseRefused(const COrderInfo&) override {}
    void OnOrderAdded(const COrderInfo&) override {}
    void OnOrderRefused(const COrderInfo&) override {}
    void OnOrderChanged(const COrderInfo&) override {}
    void OnChangeRefused(const COrderInfo&) override {}
    void OnOrderDeleted(const COrderInfo&) override {}
    void OnDeleteRefused(const COrderInfo&) override {}
    void OnSpareB() override {}

  private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<int> m_errorCodes;
    std::vector<unsigned long> m_socketErrors;
    std::function<void(unsigned long)> m_onSocketError;  // guarded by m_mutex
};
