#pragma once
// The simulator in-process on loopback, its loop on a thread of its own, for tests that need a
// whole server. Start and Stop run on the test's thread; Stop (or the destructor) waits for the
// loop to end. Header-only: only the tests that link the simulator include it.

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "SimServer.h"

class CSimulatorThread {
  public:
    CSimulatorThread() = default;
    ~CSimulatorThread() { Stop(); }
    CSimulatorThread(const CSimulatorThread&) = delete;
    CSimulatorThread& operator=(const CSimulatorThread&) = delete;

    // The built-in accounts, no console output and no text notices: what most tests want.
    static sim::SimOptions QuietOptions() {
        sim::SimOptions options;
        options.noticeSeconds = 0;
        options.quiet = true;
        options.accounts = sim::DefaultAccounts();
        return options;
    }

    bool Start(const sim::SimOptions& options, std::string& error) {
        m_server = std::make_unique<sim::SimServer>(options);
        if (!m_server->Start(error)) {
            return false;
        }
        m_loop = std::thread([this] { m_server->Run(); });
        return true;
    }
    void Stop() {
        if (m_loop.joinable()) {
            m_server->Stop();
            m_loop.join();
        }
    }
    std::uint16_t Port() const { return m_server->Port(); }

  private:
    std::unique_ptr<sim::SimServer> m_server;
    std::thread m_loop;
};
