#pragma once
// A connection's capture: with TRADEWIRE_CAPTURE_DIR set when ConnectServer runs, every chunk
// the receive buffer takes, every frame written, every message dispatched and every CommitBill
// go to one capture file
// (vocabulary/CaptureLine.h) through a CCaptureWriter. Without it every call below is a test of
// one flag and nothing else happens. A folder that is missing is made; one that still cannot
// be written gives one line on standard error per connection, and the connection goes on
// without a capture.
//
// Threads: Open and Close on the caller's thread while no worker runs (ConnectServer,
// DisConnect); Received on the receive thread, Sent on the send thread, Taking on whichever
// thread runs a processing pass, under the receive-buffer lock, Committed on any thread at any
// moment, also while another thread connects or disconnects. m_writerLock guards m_writer: every
// record is handed over under it, and Open and Close change the writer under it, so a writer never
// disappears under a recording call. It is a leaf apart from the writer's own queue lock, and may
// be taken inside the receive-buffer lock (records made on the processing thread, appends).

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/CaptureWriter.h"
#include "protocol/ForexProtocol.h"
#include "tradewire/AbsForexManager.h"
#include "tradewire/Records.h"

class CConnectionCapture {
  public:
    // Starts a capture for a connection to `server` if the environment asks for one.
    // `pass` is the header's pace: the messages per pass, or "immediate". `lastCommitted` is
    // the order the merges already hold from before this connection.
    void Open(const CServer& server, const std::string& pass, const COrderInfo& lastCommitted);
    // Ends the capture with a record of how many messages were dispatched and how many
    // received bytes were left unread, and waits until the file is written.
    void Close(size_t unread);
    // The file name of the current or last capture, empty when none was made. Caller's thread.
    const std::string& FileName() const { return m_fileName; }

    void Received(std::string_view bytes) {
        if (IsCapturing()) {
            Record(kReceivedKind, bytes);
        }
    }
    // `hidden` is the part of the frame never written (the login's password).
    void Sent(std::string_view frame, CFrameSpan hidden) {
        if (IsCapturing()) {
            RecordSent(frame, hidden);
        }
    }
    void Committed(const COrderInfo& order) {
        if (IsCapturing()) {
            RecordCommit(order);
        }
    }
    // Just before the processing pass hands the front of `buffer` to the protocol object:
    // counts the message it will take (a commit made from its callbacks, or on another
    // thread meanwhile, comes after it) and records its dispatch. Caller holds the lock that
    // guards `buffer`.
    void Taking(CReceiveBuffer& buffer) {
        if (IsCapturing()) {
            RecordTaking(buffer);
        }
    }

    // The size limit TRADEWIRE_CAPTURE_MAX_MB asks for, in bytes: 256 MB when unset or not a
    // positive whole number.
    static size_t MaxBytesFromText(std::string_view text);

  private:
    enum Kind { kReceivedKind, kSentKind };
    // A hint only: a recording call that sees it set still finds the writer under the lock,
    // and one that sees it cleared has missed a capture that was ending or not yet begun.
    bool IsCapturing() const { return m_capturing.load(std::memory_order_acquire); }
    void Record(Kind kind, std::string_view bytes);
    void RecordSent(std::string_view frame, CFrameSpan hidden);
    void RecordCommit(const COrderInfo& order);
    void RecordTaking(CReceiveBuffer& buffer);
    // Hands one record to the writer, if there still is one, under m_writerLock.
    void Push(std::string_view kind, std::string payload, bool escape);
    // Takes the writer out under the lock; the caller closes it with no lock held.
    std::unique_ptr<CCaptureWriter> TakeWriter();

    std::mutex m_writerLock;
    std::unique_ptr<CCaptureWriter> m_writer;  // guarded by m_writerLock
    std::atomic<bool> m_capturing{false};
    // Messages taken from the buffer, the one in dispatch included: written by the processing
    // thread, read by any thread that commits.
    std::atomic<std::uint64_t> m_dispatched{0};
    std::string m_fileName;  // caller's thread only
};
