#include "platform/CaptureWriter.h"

#include <atomic>
#include <chrono>
#include <new>
#include <utility>

#include "platform/SteadyClock.h"
#include "platform/WorkerThread.h"
#include "vocabulary/CaptureLine.h"

namespace {

// The writer sleeps this long between looks at its queue unless a producer wakes it; records
// carry their own time, so a late write changes nothing but when the file catches up.
constexpr auto kWritePause = std::chrono::milliseconds(500);
// Producers wake the writer only once this much is queued, so a busy connection does not pay
// for a wake-up per record.
constexpr size_t kWakeBytes = size_t{256} << 10;
// Kept free below the file's limit for the limit record itself.
constexpr size_t kClosingReserve = 64;

std::atomic<std::uint32_t> g_sequence{0};

}  // namespace

CCaptureWriter::CCaptureWriter(const Settings& settings)
    : m_settings(settings), m_startMs(SteadyClock::NowMs()) {}

std::unique_ptr<CCaptureWriter> CCaptureWriter::Open(const Settings& settings,
                                                     const std::string& header,
                                                     std::string& fileName, std::string& failure) {
    std::unique_ptr<CCaptureWriter> writer(new (std::nothrow) CCaptureWriter(settings));
    if (writer == nullptr) {
        failure = "out of memory";
        return nullptr;
    }
    // Start time, process and a per-process sequence number: two connections never share a
    // name, and the names sort by time.
    fileName = "tradewire-" + CCaptureFile::UtcStamp() + "-" +
               std::to_string(CCaptureFile::ProcessId()) + "-" +
               std::to_string(g_sequence.fetch_add(1) + 1) + ".twcap";
    if (!writer->m_file.Create(settings.folder, fileName)) {
        failure = writer->m_file.Failure();
        return nullptr;
    }
    const std::string first = header + "\n";
    if (!writer->m_file.Write(first.data(), first.size())) {
        failure = "the new capture file could not be written";
        return nullptr;
    }
    writer->m_fileBytes = first.size();
    if (!WorkerThread::Start(writer->m_thread, &CCaptureWriter::ThreadWrite, writer.get())) {
        failure = "no thread could be started to write it";
        return nullptr;
    }
    return writer;
}

CCaptureWriter::~CCaptureWriter() {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_closing = true;
    }
    m_wake.notify_one();
    WorkerThread::Join(m_thread);
}

std::uint32_t CCaptureWriter::Ms() const {
    return SteadyClock::NowMs() - m_startMs;
}

void CCaptureWriter::Push(std::uint32_t ms, std::string_view kind, std::string payload,
                          bool escape) {
    if (m_full.load(std::memory_order_relaxed)) {
        return;
    }
    bool wake = false;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_closing || m_queuedBytes + payload.size() > m_settings.maxQueuedBytes) {
            ++m_dropped;
            return;
        }
        m_queuedBytes += payload.size();
        wake = m_queuedBytes >= kWakeBytes && m_queuedBytes - payload.size() < kWakeBytes;
        m_queue.push_back(Record{ms, kind, std::move(payload), escape});
    }
    if (wake) {
        m_wake.notify_one();
    }
}

void CCaptureWriter::Close(std::uint32_t ms, std::string_view kind, std::string payload) {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_closing) {
            m_queue.push_back(Record{ms, kind, std::move(payload), false});
            m_closing = true;
        }
    }
    m_wake.notify_one();
    WorkerThread::Join(m_thread);
}

unsigned CCaptureWriter::ThreadWrite(void* self) {
    static_cast<CCaptureWriter*>(self)->Run();
    return 0;
}

void CCaptureWriter::Run() {
    std::string out;
    for (;;) {
        std::deque<Record> batch;
        std::uint64_t dropped = 0;
        bool closing = false;
        {
            std::unique_lock<std::mutex> guard(m_mutex);
            m_wake.wait_for(guard, kWritePause,
                            [this] { return m_closing || m_queuedBytes >= kWakeBytes; });
            batch.swap(m_queue);
            m_queuedBytes = 0;
            dropped = std::exchange(m_dropped, 0);
            closing = m_closing;
        }
        out.clear();
        for (const Record& record : batch) {
            if (m_full.load() || !Format(record, out)) {
                break;
            }
        }
        // Dropped records were refused after everything now in the batch was queued.
        if (dropped > 0 && !m_full.load()) {
            Format(Record{Ms(), capture::kDropped, std::to_string(dropped), false}, out);
        }
        if (!out.empty() && !m_file.Write(out.data(), out.size())) {
            Stop();
        }
        if (closing) {
            return;
        }
    }
}

bool CCaptureWriter::Format(const Record& record, std::string& out) {
    const size_t before = out.size();
    out += capture::StartLine(record.ms, record.kind, record.payload.size());
    if (record.escape) {
        capture::AppendEscaped(out, record.payload);
    } else {
        out += record.payload;
    }
    out += '\n';
    if (m_fileBytes + (out.size() - before) + kClosingReserve <= m_settings.maxFileBytes) {
        m_fileBytes += out.size() - before;
        return true;
    }
    out.resize(before);
    out += capture::StartLine(record.ms, capture::kLimit, 0);
    out += std::to_string(m_settings.maxFileBytes);
    out += '\n';
    Stop();
    return false;
}
