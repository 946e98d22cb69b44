#pragma once
// A loopback TLS server for the end-to-end benchmarks that need what the simulator does not
// serve: an instrument list of any length in answer to the first request, then, if asked for,
// one-quote price messages at a fixed rate, each stamped with its send time in microseconds
// since 1970. Runs its own thread between Start and destruction; 127.0.0.1 only.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

#include "TlsServer.h"
#include "WireFormat.h"

class ScriptedServer final : private sim::TlsHandler {
  public:
    ScriptedServer(int instruments, double quotesPerSecond)
        : m_instruments(instruments), m_quotesPerSecond(quotesPerSecond) {}
    ~ScriptedServer() {
        m_stop = true;
        if (m_loop.joinable()) {
            m_loop.join();
        }
    }
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    bool Start(std::string& error) {
        if (!m_server.Start(sim::TlsServerConfig{}, error)) {
            return false;
        }
        m_list = sim::PackServerFrame(wire::kInstrumentList, InstrumentList());
        m_loop = std::thread([this] { Run(); });
        return true;
    }
    std::uint16_t Port() const { return m_server.Port(); }
    size_t ListBytes() const { return m_list.size(); }
    size_t QuotesSent() const { return m_quotesSent.load(); }
    // The code of instrument `index`, as the list names it.
    static std::string Code(int index) {
        char code[16];
        (void)std::snprintf(code, sizeof code, "X%05d", index);
        return code;
    }

  private:
    using Clock = std::chrono::steady_clock;

    void OnOpened(int session) override { m_session = session; }
    void OnBytes(int session, std::string_view) override {
        if (m_listSent) {
            return;
        }
        m_listSent = true;
        m_server.Send(session, m_list);
        m_feedStart = Clock::now();
    }
    void OnClosed(int) override { m_session = 0; }

    void Run() {
        while (!m_stop) {
            m_server.Poll(1, *this);
            SendDueQuotes();
        }
    }

    void SendDueQuotes() {
        if (!m_listSent || m_session == 0 || m_quotesPerSecond <= 0) {
            return;
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - m_feedStart).count();
        const auto due = static_cast<size_t>(elapsed * m_quotesPerSecond);
        while (m_quotesSent.load() < due) {
            const size_t number = m_quotesSent.load();
            m_server.Send(m_session, Quote(Code(static_cast<int>(number % m_instruments))));
            m_quotesSent.store(number + 1);
        }
    }

    // Instrument records of the list's 88 fields, with prices set so a quote moves them.
    std::string InstrumentList() const {
        sim::FieldWriter writer;
        for (int i = 0; i < m_instruments; ++i) {
            writer.Text(Code(i)).Int(i).Text("Instrument").Int(5).Text("0").Text("0");
            writer.Text("1").Empty(7).Text("0.00010").Text("0").Int(5).Text("0.00001");
            writer.Text("1").Text("0").Text("0").Text("1.10000").Text("1.10010");
            writer.Text("1.10000").Text("1.10010");
            for (int field = 26; field <= 88; ++field) {
                writer.Text("0");
            }
            writer.EndRecord();
        }
        return writer.Body();
    }

    static std::string Quote(const std::string& code) {
        const long long stamp = std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::system_clock::now().time_since_epoch())
                                    .count();
        sim::FieldWriter writer;
        writer.Text(code).Text("1.10002").Text("1.10012").Int(stamp);
        writer.Text("1.10020").Text("1.09990").EndRecord().EndSection();
        return sim::PackServerFrame(wire::kQuotes, writer.Body());
    }

    const int m_instruments;
    const double m_quotesPerSecond;
    sim::TlsServer m_server;
    std::string m_list;
    std::thread m_loop;
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_quotesSent{0};
    // The rest belongs to the server's thread.
    int m_session = 0;
    bool m_listSent = false;
    Clock::time_point m_feedStart;
};
