#pragma once
// Feeds a capture file (vocabulary/CaptureLine.h) into a protocol object of its own, with its
// data center, on the calling thread: no network and no other thread. The received chunks are
// appended as they were captured, and each captured CommitBill is re-applied after as many
// dispatched messages as it was live, so the merges match replies against the order they
// matched then. One object replays one capture once; everything runs on the caller's thread.
//
// A captured connection counts a message among those dispatched as soon as its callbacks start,
// so an order committed in reaction to it is applied after it here. What a replay cannot know:
// the data center starts empty, not with what an earlier connection of the same object left in
// it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/ForexProtocol.h"
#include "tradewire/AbsForexNotify.h"

class CCaptureReplay {
  public:
    static constexpr std::uint32_t kPassMs = 30;

    // Reads the whole capture; false with `error` naming the first line it cannot read.
    bool Load(std::string_view text, std::string& error);
    // Dispatches what the capture holds, with `sink` on the data center. Without `pace`, every
    // whole message is dispatched as soon as its chunk is appended. With it, passes run every
    // kPassMs of captured time, each taking as many messages as the captured connection's
    // pass did; `onPass` is told each pass' captured time before its first message. Stops
    // after as many messages as the live connection dispatched when the capture says so.
    void Run(CAbsForexNotify& sink, bool pace,
             const std::function<void(std::uint32_t ms)>& onPass = nullptr);
    CForexDataCenter* GetDataCenter() const { return m_protocol.GetDataCenter(); }
    std::uint64_t Dispatched() const { return m_dispatched; }
    // The captured time of the last chunk appended: inside a callback of an unpaced run, the
    // time the message being dispatched was received.
    std::uint32_t LastChunkMs() const { return m_lastChunkMs; }
    // The captured connection's facts from the first line (start=, server=, ...), as written.
    const std::string& Header() const { return m_header; }

  private:
    struct Chunk {
        std::uint32_t ms = 0;
        std::string bytes;
    };
    struct Commit {
        std::uint64_t after = 0;
        COrderInfo order;
    };

    bool ReadRecord(std::string_view line, std::string& error);
    void ApplyCommitsDue();
    // One message if one is whole and the live count allows; false when none was dispatched.
    bool DispatchOne();
    void RunPass(std::uint32_t ms, const std::function<void(std::uint32_t)>& onPass);

    CForexProtocol m_protocol;
    CReceiveBuffer m_buffer;
    std::string m_header;
    std::vector<Chunk> m_chunks;
    std::vector<Commit> m_commits;  // in the order of their `after`
    size_t m_nextCommit = 0;
    int m_messagesPerPass = 1;
    std::uint64_t m_dispatched = 0;
    std::uint32_t m_lastChunkMs = 0;
    std::uint64_t m_dispatchLimit = UINT64_MAX;  // from the close record
};
