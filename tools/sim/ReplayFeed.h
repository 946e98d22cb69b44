#pragma once
// The simulator's --replay mode: the bytes a captured connection received (a capture file of
// the library, vocabulary/CaptureLine.h), served again to the first client that logs in, with
// their original timing or, fast, all at once. Owned and used by the simulator's loop thread.
//
// Gates: every request the captured client made after its login (an order, a history request,
// a logout) is a gate, and the bytes received after it in the capture are held until the
// replaying client has made as many requests: after gate k, until its k-th request past the
// login arrives. So a reply never comes before the request it answers, and a script that
// repeats the session's requests (tradewire-replay --script) gets each answer in its turn. An
// order's gate is its commit record, which the capture writes before the frame leaves, since
// the reply may be recorded before the send record of its request. A client that makes no
// request gets everything captured before the first gate, and nothing after it.
//
// Timing: each chunk leaves as long after its gate opened (the login's arrival for the bytes
// before the first gate) as it was received after the captured gate (the captured login, or the
// first chunk when the capture holds no login). Fast, each chunk leaves as soon as its gate
// opens.

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
    // A request frame of `code` from `session`: opens the next gate when it is the served
    // client's order, history or logout request.
    void OnRequest(int session, int code, Clock::time_point now);
    // How many gates the capture holds, and how many the client has opened.
    size_t GateCount() const { return m_gateMs.size() - 1; }
    size_t GatesOpened() const { return m_opened.size() - 1; }
    // True when the next chunk waits for a request rather than for its time.
    bool IsHeld() const {
        return m_started && m_next < m_chunks.size() && !IsOpen(m_chunks[m_next]);
    }
    // True once a login has started the feed; the session it serves.
    bool HasBegun() const { return m_started; }
    int Session() const { return m_session; }
    // Hands each chunk now due to `send` in captured order.
    template <typename Send>
    void SendDue(Clock::time_point now, Send send) {
        while (m_started && m_next < m_chunks.size() && IsOpen(m_chunks[m_next]) &&
               DueAt(m_chunks[m_next]) <= now) {
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
        size_t gate = 0;  // the gates before it in the capture
        std::string bytes;
    };
    bool IsOpen(const Chunk& chunk) const { return chunk.gate < m_opened.size(); }
    // Only for an open chunk.
    Clock::time_point DueAt(const Chunk& chunk) const;
    void AddGate(std::uint32_t ms);

    std::vector<Chunk> m_chunks;
    // The captured time of each gate, the login (or the first chunk) as gate 0.
    std::vector<std::uint32_t> m_gateMs{0};
    // When each gate opened here; gate 0 at Begin. Empty before Begin.
    std::vector<Clock::time_point> m_opened;
    bool m_fast = false;
    int m_logins = 0;
    bool m_started = false;
    int m_session = 0;
    size_t m_next = 0;
};

}  // namespace sim
