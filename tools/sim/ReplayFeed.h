#pragma once
// The simulator's --replay mode: the bytes a captured connection received (a capture file of
// the library, vocabulary/CaptureLine.h), served again to the first client that logs in, with
// their original timing or, fast, all at once. Owned and used by the simulator's loop thread.
//
// Timing: each chunk leaves as long after the login request arrived as it was received after
// the captured login was sent (after the first chunk when the capture holds no login).

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class ReplayFeed {
  public:
    using Clock = std::chrono::steady_clock;

    // Reads the capture; false with `error` when it cannot be read or holds no received bytes.
    bool Load(const std::string& path, bool fast, std::string& error);
    bool IsLoaded() const { return !m_chunks.empty(); }
    // The first login starts the feed for its session; the server refuses later ones.
    void Begin(int session, Clock::time_point now);
    bool IsServing(int session) const { return m_started && session == m_session; }
    // True once a login has started the feed; the session it serves.
    bool HasBegun() const { return m_started; }
    int Session() const { return m_session; }
    // Hands each chunk now due to `send` in captured order.
    template <typename Send>
    void SendDue(Clock::time_point now, Send send) {
        while (m_started && m_next < m_chunks.size() && DueAt(m_chunks[m_next]) <= now) {
            send(m_session, m_chunks[m_next].bytes);
            ++m_next;
        }
    }
    // How long until the next chunk is due, at most `most`.
    std::chrono::milliseconds Wait(Clock::time_point now, std::chrono::milliseconds most) const;
    size_t ChunkCount() const { return m_chunks.size(); }
    // How many logins the captured connection sent, and how long after the (first) login its
    // last chunk came.
    int LoginCount() const { return m_logins; }
    std::uint32_t DurationMs() const;

  private:
    struct Chunk {
        std::uint32_t ms = 0;
        std::string bytes;
    };
    Clock::time_point DueAt(const Chunk& chunk) const;

    std::vector<Chunk> m_chunks;
    std::uint32_t m_baseMs = 0;
    bool m_fast = false;
    int m_logins = 0;
    bool m_started = false;
    int m_session = 0;
    size_t m_next = 0;
    Clock::time_point m_start;
};

}  // namespace sim
