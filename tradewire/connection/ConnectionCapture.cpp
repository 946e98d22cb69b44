#include "connection/ConnectionCapture.h"

#include <utility>

#include "platform/ModuleLoader.h"
#include "platform/StandardError.h"
#include "platform/TextCodec.h"
#include "protocol/CaptureRecords.h"
#include "vocabulary/CaptureLine.h"

namespace {

constexpr size_t kDefaultMaxMb = 256;
// Above this the limit is no limit at all; a larger number is taken as this.
constexpr size_t kMostMb = size_t{1} << 20;

std::string CaptureHeader(const CServer& server, const std::string& pass) {
    std::string header(capture::kMagic);
    header += " start=" + CCaptureFile::UtcStamp() +
              " pid=" + std::to_string(CCaptureFile::ProcessId()) + " server=";
    capture::AppendEscaped(header, WideToAnsi(server.Address));
    header += ":" + std::to_string(server.Port) + " pass=" + pass;
    return header;
}

}  // namespace

size_t CConnectionCapture::MaxBytesFromText(std::string_view text) {
    size_t mb = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9') {
            return kDefaultMaxMb << 20;
        }
        mb = mb > kMostMb ? mb : mb * 10 + static_cast<size_t>(ch - '0');
    }
    if (mb == 0) {
        return kDefaultMaxMb << 20;
    }
    return (mb > kMostMb ? kMostMb : mb) << 20;
}

void CConnectionCapture::Open(const CServer& server, const std::string& pass,
                              const COrderInfo& lastCommitted) {
    TakeWriter().reset();
    m_dispatched.store(0);
    CCaptureWriter::Settings settings;
    settings.folder = ModuleLoader::EnvironmentText("TRADEWIRE_CAPTURE_DIR");
    if (settings.folder.empty()) {
        return;
    }
    settings.maxFileBytes =
        MaxBytesFromText(ModuleLoader::EnvironmentText("TRADEWIRE_CAPTURE_MAX_MB"));
    std::string fileName;
    std::string failure;
    std::unique_ptr<CCaptureWriter> writer =
        CCaptureWriter::Open(settings, CaptureHeader(server, pass), fileName, failure);
    if (writer == nullptr) {
        // The user asked for this capture: say why there is none. The connection goes on.
        StandardError::WriteLine("tradewire: no capture of this connection: the folder \"" +
                                 settings.folder + "\" cannot be written: " + failure);
        return;
    }
    m_fileName = fileName;
    // The merges keep the last committed order across connections: the replay needs it too.
    // Written before the writer is shared, so it comes ahead of any commit made meanwhile.
    if (lastCommitted.InternalNo != 0 || !lastCommitted.MerchCode.IsEmpty()) {
        writer->Push(writer->Ms(), capture::kCommitted,
                     "after=0 " + CaptureRecords::EncodeOrder(lastCommitted), false);
    }
    std::lock_guard<std::mutex> guard(m_writerLock);
    m_writer = std::move(writer);
    m_capturing.store(true, std::memory_order_release);
}

void CConnectionCapture::Close(size_t unread) {
    std::unique_ptr<CCaptureWriter> writer = TakeWriter();
    if (writer == nullptr) {
        return;
    }
    // Outside the lock: writing what is queued takes the disk's time, and a commit made
    // meanwhile on another thread must not wait for it.
    writer->Close(
        writer->Ms(), capture::kClosed,
        "dispatched=" + std::to_string(m_dispatched.load()) + " unread=" + std::to_string(unread));
}

std::unique_ptr<CCaptureWriter> CConnectionCapture::TakeWriter() {
    std::lock_guard<std::mutex> guard(m_writerLock);
    m_capturing.store(false, std::memory_order_release);
    return std::move(m_writer);
}

void CConnectionCapture::Push(std::string_view kind, std::string payload, bool escape) {
    std::lock_guard<std::mutex> guard(m_writerLock);
    if (m_writer != nullptr) {
        m_writer->Push(m_writer->Ms(), kind, std::move(payload), escape);
    }
}

void CConnectionCapture::Record(Kind kind, std::string_view bytes) {
    Push(kind == kReceivedKind ? capture::kReceived : capture::kSent, std::string(bytes), true);
}

void CConnectionCapture::RecordSent(std::string_view frame, CFrameSpan hidden) {
    Push(capture::kSent, CaptureRecords::MaskedFrame(frame, hidden), true);
}

void CConnectionCapture::RecordTaking(CReceiveBuffer& buffer) {
    const size_t lineEnd = buffer.FindLineEnd(wire::kServerLineEnd);
    if (lineEnd == std::string_view::npos) {
        return;  // the pass takes nothing
    }
    // Counted before the callbacks run: an order committed from one of them is then recorded
    // after this message, where the replay must apply it.
    m_dispatched.fetch_add(1, std::memory_order_relaxed);
    const int code = CForexProtocol::DispatchCode(buffer.View().substr(0, lineEnd));
    if (code >= 0) {
        Push(capture::kDispatched, std::to_string(code), false);
    }
}

void CConnectionCapture::RecordCommit(const COrderInfo& order) {
    // Read before the order is stored: a reply dispatched after this count sees this order.
    // The count includes a message still in dispatch, whose callbacks may be the caller.
    const std::uint64_t after = m_dispatched.load();
    Push(capture::kCommitted,
         "after=" + std::to_string(after) + " " + CaptureRecords::EncodeOrder(order), false);
}
