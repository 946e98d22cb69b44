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
#include <ios>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/ForexProtocol.h"
#include "tradewire/AbsForexNotify.h"

class CCaptureReplay {
  public:
    static constexpr std::uint32_t kPassMs = 30;

    // Reads the whole capture; false with `error` naming the first line it cannot read. A last
    // line without its line feed that does not read is where the file was cut: it ends the
    // capture there. The stream form reads a line at a time, so the file is never held whole.
    // From a stream that can seek (a file), the received bytes are only checked here and read
    // again by Run, a chunk at a time: the replay then holds no more of them than the parser
    // has not consumed yet (at most the 64 MiB receive ceiling), whatever the file's size. Such
    // a stream must stay open and unchanged until Run returns. From one that cannot (a pipe),
    // they are kept until Run.
    bool Load(std::string_view text, std::string& error);
    bool Load(std::istream& in, std::string& error);
    // Dispatches what the capture holds, with `sink` on the data center. Without `pace`, every
    // whole message is dispatched as soon as its chunk is appended. With it, passes run every
    // kPassMs of captured time, each taking as many messages as the captured connection's
    // pass did; `onPass` is told each pass' captured time before its first message. A capture
    // of the immediate pace has no passes: with `pace`, each chunk's messages are dispatched
    // as it is appended, `onPass` told the chunk's time first. Stops after as many messages
    // as the live connection dispatched when the capture says so.
    void Run(CAbsForexNotify& sink, bool pace,
             const std::function<void(std::uint64_t ms)>& onPass = nullptr);
    CForexDataCenter* GetDataCenter() const { return m_protocol.GetDataCenter(); }
    std::uint64_t Dispatched() const { return m_dispatched; }
    // The captured time of the last chunk appended: inside a callback of an unpaced run, the
    // time the message being dispatched was received.
    std::uint32_t LastChunkMs() const { return m_lastAppendMs; }
    // The captured connection's facts from the first line (start=, server=, ...), as written.
    const std::string& Header() const { return m_header; }
    // False when the capture ends without its close record: cut short.
    bool Closed() const { return m_closed; }

    // A message taken from the buffer and dispatched: its code, the captured time of the
    // chunk that completed it and, from its dispatch record, when the live connection
    // dispatched it (-1 in a capture without dispatch records). Lines only joined to the next
    // are no messages.
    struct MessageTimes {
        int code = -1;
        std::uint32_t received = 0;
        std::int64_t dispatched = -1;
    };
    // Every message dispatched so far, in order; during Run the last one is the message whose
    // callbacks run now. After KeepMessages(false), before Run, only that last one is kept, so
    // a long capture costs no memory per message here.
    const std::vector<MessageTimes>& Messages() const { return m_messages; }
    void KeepMessages(bool all) { m_keepMessages = all; }
    // Every dispatch record's time, in file order.
    const std::vector<std::uint32_t>& DispatchTimes() const { return m_dispatchTimes; }
    // The frames sent, in file order, escaped as in the file.
    struct SentFrame {
        std::uint32_t ms = 0;
        std::string frame;
    };
    const std::vector<SentFrame>& SentFrames() const { return m_sent; }
    // The orders committed, in the order the replay applies them, and how many it has applied
    // so far: during Run, the last applied is the one the merges match replies against.
    struct Commit {
        std::uint32_t ms = 0;
        std::uint64_t after = 0;
        COrderInfo order;
    };
    const std::vector<Commit>& Commits() const { return m_commits; }
    size_t CommitsApplied() const { return m_nextCommit; }

  private:
    struct Chunk {
        std::uint32_t ms = 0;
        std::string bytes;
    };
    bool AddLine(std::string_view line, bool ended, std::string& error);
    // The next received chunk in file order, from what Load kept or read again from the
    // stream; false after the last.
    bool NextChunk(Chunk& chunk);
    bool Finish(std::string& error);
    bool ReadRecord(std::string_view line, std::string& error);
    void ApplyCommitsDue();
    // One message if one is whole and the live count allows; false when none was dispatched.
    bool DispatchOne();
    // False when it dispatched nothing.
    bool RunPass(std::uint64_t ms, const std::function<void(std::uint64_t)>& onPass);

    CForexProtocol m_protocol;
    CReceiveBuffer m_buffer;
    std::string m_header;
    size_t m_lines = 0;
    bool m_cut = false;
    std::vector<Chunk> m_chunks;  // empty when the chunks are read again from m_source
    size_t m_chunkCount = 0;
    size_t m_chunksTaken = 0;
    std::uint32_t m_firstChunkMs = 0;
    std::istream* m_source = nullptr;  // a stream that can seek, read again by Run
    std::streamoff m_sourceStart = 0;
    std::string m_unescaped;        // Load's check of a chunk it does not keep
    std::vector<Commit> m_commits;  // in the order of their `after`
    size_t m_nextCommit = 0;
    int m_messagesPerPass = 1;
    // The captured connection dispatched each message as soon as it was read (pass=immediate).
    bool m_immediate = false;
    std::uint64_t m_dispatched = 0;
    std::uint64_t m_dispatchLimit = UINT64_MAX;  // from the close record
    bool m_closed = false;
    std::vector<std::uint32_t> m_dispatchTimes;
    std::vector<SentFrame> m_sent;
    std::vector<MessageTimes> m_messages;
    bool m_keepMessages = true;
    size_t m_messageCount = 0;
    std::uint32_t m_lastAppendMs = 0;
};
