#include "connection/ConnectionCapture.h"

#include "platform/ModuleLoader.h"
#include "platform/TextCodec.h"
#include "protocol/CaptureRecords.h"
#include "vocabulary/CaptureLine.h"

namespace {

constexpr size_t kDefaultMaxMb = 256;
// Above this the limit is no limit at all; a larger number is taken as this.
constexpr size_t kMostMb = size_t{1} << 20;

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

void CConnectionCapture::Open(const CServer& server, int messagesPerPass,
                              const COrderInfo& lastCommitted) {
    m_writer.reset();
    m_dispatched.store(0);
    CCaptureWriter::Settings settings;
    settings.folder = ModuleLoader::EnvironmentText("TRADEWIRE_CAPTURE_DIR");
    if (settings.folder.empty()) {
        return;
    }
    settings.maxFileBytes =
        MaxBytesFromText(ModuleLoader::EnvironmentText("TRADEWIRE_CAPTURE_MAX_MB"));
    std::string header(capture::kMagic);
    std::string fileName;
    header += " start=" + CCaptureFile::UtcStamp() +
              " pid=" + std::to_string(CCaptureFile::ProcessId()) + " server=";
    capture::AppendEscaped(header, WideToAnsi(server.Address));
    header += ":" + std::to_string(server.Port) + " pass=" + std::to_string(messagesPerPass);
    m_writer = CCaptureWriter::Open(settings, header, fileName);
    if (m_writer == nullptr) {
        return;  // no capture for this connection; the connection itself goes on as ever
    }
    m_fileName = fileName;
    // The merges keep the last committed order across connections: the replay needs it too.
    if (lastCommitted.InternalNo != 0 || !lastCommitted.MerchCode.IsEmpty()) {
        RecordCommit(lastCommitted);
    }
}

void CConnectionCapture::Close(size_t unread) {
    if (m_writer == nullptr) {
        return;
    }
    m_writer->Close(
        m_writer->Ms(), capture::kClosed,
        "dispatched=" + std::to_string(m_dispatched.load()) + " unread=" + std::to_string(unread));
    m_writer.reset();
}

void CConnectionCapture::Record(Kind kind, std::string_view bytes) {
    m_writer->Push(m_writer->Ms(), kind == kReceivedKind ? capture::kReceived : capture::kSent,
                   std::string(bytes), true);
}

void CConnectionCapture::RecordSent(std::string_view frame) {
    if (CaptureRecords::IsLogin(frame)) {
        m_writer->Push(m_writer->Ms(), capture::kSent, CaptureRecords::MaskedFrame(frame), true);
        return;
    }
    Record(kSentKind, frame);
}

void CConnectionCapture::RecordCommit(const COrderInfo& order) {
    // Read before the order is stored: a reply dispatched after this count sees this order.
    const std::uint64_t after = m_dispatched.load();
    m_writer->Push(m_writer->Ms(), capture::kCommitted,
                   "after=" + std::to_string(after) + " " + CaptureRecords::EncodeOrder(order),
                   false);
}
