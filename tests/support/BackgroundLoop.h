#pragma once
// Runs one pass over and over on a thread of its own until Stop or the destructor, counting the
// passes: a terminal's other thread reading the stores, or a sampler, while the test's thread
// drives the connection. The pass must not throw; gtest's EXPECT_* inside it are fine.

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

class CBackgroundLoop {
  public:
    explicit CBackgroundLoop(std::function<void()> pass)
        : m_pass(std::move(pass)), m_thread([this] { Run(); }) {}
    ~CBackgroundLoop() { Stop(); }
    CBackgroundLoop(const CBackgroundLoop&) = delete;
    CBackgroundLoop& operator=(const CBackgroundLoop&) = delete;

    // Lets the pass under way finish, then returns how many passes ran in all.
    long Stop() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        return m_passes.load();
    }

  private:
    void Run() {
        while (!m_stop.load()) {
            m_pass();
            ++m_passes;
        }
    }

    std::function<void()> m_pass;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_passes{0};
    std::thread m_thread;  // last: it starts once the members above exist
};
