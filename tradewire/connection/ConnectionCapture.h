#pragma once
// A connection's capture: with TRADEWIRE_CAPTURE_DIR set when ConnectServer runs, every chunk
// the receive buffer takes, every frame written and every CommitBill go to one capture file
// (vocabulary/CaptureLine.h) through a CCaptureWriter. Without it, or when the folder cannot be
// written, every call below is a test of one pointer and nothing else happens.
//
// Threads: Open and Close on the caller's thread while no worker runs; Received on the
// receive thread, Sent on the send thread, Dispatched on whichever thread runs a processing
// pass, Committed on any thread. m_writer changes only in Open and Close.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/CaptureWriter.h"
#include "tradewire/AbsForexManager.h"
#include "tradewire/Records.h"

class CConnectionCapture {
  public:
    // Starts a capture for a connection to `server` if the environment asks for one.
    // `lastCommitted` is the order the merges already hold from before this connection.
    void Open(const CServer& server, int messagesPerPass, const COrderInfo& lastCommitted);
    // Ends the capture with a record of how many messages were dispatched and how many
    // received bytes were left unread.
    void Close(size_t unread);
    bool IsOpen() const { return m_writer != nullptr; }
    // The file name of the current or last capture, empty when none was made.
    const std::string& FileName() const { return m_fileName; }

    void Received(std::string_view bytes) {
        if (m_writer != nullptr) {
            Record(kReceivedKind, bytes);
        }
    }
    void Sent(std::string_view frame) {
        if (m_writer != nullptr) {
            RecordSent(frame);
        }
    }
    void Committed(const COrderInfo& order) {
        if (m_writer != nullptr) {
            RecordCommit(order);
        }
    }
    void Dispatched() {
        if (m_writer != nullptr) {
            m_dispatched.fetch_add(1, std::memory_order_relaxed);
        }
    }

    // The size limit TRADEWIRE_CAPTURE_MAX_MB asks for, in bytes: 256 MB when unset or not a
    // positive whole number.
    static size_t MaxBytesFromText(std::string_view text);

  private:
    enum Kind { kReceivedKind, kSentKind };
    void Record(Kind kind, std::string_view bytes);
    void RecordSent(std::string_view frame);
    void RecordCommit(const COrderInfo& order);

    std::unique_ptr<CCaptureWriter> m_writer;
    std::atomic<std::uint64_t> m_dispatched{0};
    std::string m_fileName;
};
