#pragma once
// A sink that records the two callbacks the connection object itself makes (error codes and
// socket errors) and ignores the rest. Thread-safe: callbacks arrive on worker threads.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include <tradewire/ForexNotifyAdapter.h>

class CConnectionTestSink : public CForexNotifyAdapter {
  public:
    std::vector<int> ErrorCodes() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_errorCodes;
    }
    void ClearErrorCodes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_errorCodes.clear();
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

  private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<int> m_errorCodes;
    std::vector<unsigned long> m_socketErrors;
    std::function<void(unsigned long)> m_onSocketError;  // guarded by m_mutex
};
