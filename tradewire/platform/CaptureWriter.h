#pragma once
// Writes a capture file (the format is in vocabulary/CaptureLine.h) on a thread of its own, so
// the connection's threads only hand records over and never wait for the disk.
//
// Threads: Push runs on any thread and takes m_mutex only to append to the queue, a leaf lock
// held for no longer than a move; the writer thread takes it only to swap the queue out.
// Open and Close run on one controlling thread (the connection's caller), Close after every
// thread that pushes has stopped.
//
// Limits: the queue holds at most Settings::maxQueuedBytes of payload; a record that would pass
// that is dropped and counted, and the count is written as a "dropped" record where the gap
// is. The file grows to at most Settings::maxFileBytes: the record that would pass it is
// replaced by a "limit" record and nothing more is written. A failed write ends the capture
// the same way, silently. None of this is reported: capture never affects the connection.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/CaptureFile.h"

class CCaptureWriter {
  public:
    struct Settings {
        std::string folder;
        size_t maxFileBytes = size_t{256} << 20;
        size_t maxQueuedBytes = size_t{16} << 20;
    };

    // A writer with its file made in `settings.folder` (made too when missing) and `header`
    // (one line, without its line end) written, its thread running; null when the file cannot
    // be made or written or the thread not started, with the reason in `failure`. `fileName`
    // receives the name chosen.
    static std::unique_ptr<CCaptureWriter> Open(const Settings& settings, const std::string& header,
                                                std::string& fileName, std::string& failure);
    ~CCaptureWriter();
    CCaptureWriter(const CCaptureWriter&) = delete;
    CCaptureWriter& operator=(const CCaptureWriter&) = delete;

    // Milliseconds since Open, the time stamp of a record made now. Any thread.
    std::uint32_t Ms() const;
    // Queues one record. `kind` must outlive the writer (the constants of CaptureLine.h do).
    // With `escape` the payload is bytes written escaped; without it, text written as it is.
    void Push(std::uint32_t ms, std::string_view kind, std::string payload, bool escape);
    // Queues the last record, writes everything still queued and ends the thread.
    void Close(std::uint32_t ms, std::string_view kind, std::string payload);

  private:
    struct Record {
        std::uint32_t ms = 0;
        std::string_view kind;
        std::string payload;
        bool escape = false;
    };

    explicit CCaptureWriter(const Settings& settings);
    static unsigned ThreadWrite(void* self);
    void Run();
    // Appends one record's line to `out`; false (the limit record appended instead) when it
    // would take the file past its limit.
    bool Format(const Record& record, std::string& out);
    void Stop() { m_full.store(true); }

    const Settings m_settings;
    const std::uint32_t m_startMs;
    CCaptureFile m_file;     // writer thread only, once started
    size_t m_fileBytes = 0;  // writer thread only, once started
    std::atomic<bool> m_full{false};

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Record> m_queue;   // guarded by m_mutex
    size_t m_queuedBytes = 0;     // guarded by m_mutex
    std::uint64_t m_dropped = 0;  // guarded by m_mutex
    bool m_closing = false;       // guarded by m_mutex
    std::thread m_thread;
};
