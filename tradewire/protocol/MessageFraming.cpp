#include <cstring>

#include "ForexProtocol.h"

namespace {

constexpr char kInboundLineEnd = '\x0D';
constexpr size_t kInboundLineEndSize = 2;

}  // namespace

std::string CForexProtocol::PadLeft(std::string text, size_t width) {
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

std::string CForexProtocol::CutField(std::string& text, char separator) {
    const size_t end = text.find(separator);
    if (end == std::string::npos) {
        return std::string();
    }
    std::string item = text.substr(0, end);
    text.erase(0, end + 1);
    return item;
}

std::string CForexProtocol::PackMessage(int code, const std::string& body) {
    std::string inner = std::to_string(code);
    inner += '\x03';
    inner += body;
    inner += '\x04';
    std::string frame = PadLeft(std::to_string(inner.size() + 12), 6);
    frame += PadLeft(std::string(), 6);
    frame += inner;
    return frame;
}

int CForexProtocol::ProcessReceived(CReceiveBuffer& buffer) {
    if (buffer.IsEmpty()) {
        return 0;
    }
    const std::string_view pending = buffer.View();
    const void* lineEnd = std::memchr(pending.data(), kInboundLineEnd, pending.size());
    if (lineEnd == nullptr) {
        return 0;
    }
    const size_t messageSize =
        static_cast<size_t>(static_cast<const char*>(lineEnd) - pending.data());
    const int result = Dispatch(pending.substr(0, messageSize));
    if (result != 0) {
        buffer.Consume(messageSize + kInboundLineEndSize);
    } else {
        // Shorter than declared: drop only the line end, so the next line joins this one.
        buffer.EraseAt(messageSize, kInboundLineEndSize);
    }
    return -1;
}
