#include <algorithm>
#include <vector>

#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"

namespace {

// Where the message that starts at `start` ends, its line end included, after ProcessReceived
// has joined to it the lines that its declared length claims; npos while it still waits for
// bytes. May point one past the end when only the line end's second byte is missing.
size_t MessageEnd(std::string_view pending, size_t start) {
    std::string header;  // the joined message's first bytes before its first 0x03
    bool headerEnded = false;
    size_t joinedSize = 0;
    size_t at = start;
    while (at < pending.size()) {
        const size_t lineEnd = pending.find(wire::kServerLineEnd, at);
        if (lineEnd == std::string_view::npos) {
            return std::string_view::npos;
        }
        const std::string_view line = pending.substr(at, lineEnd - at);
        if (!headerEnded) {
            const size_t stop = line.find(wire::kHeaderEnd);
            header.append(line.substr(0, stop).substr(0, wire::kLengthFieldSize - header.size()));
            headerEnded = stop != std::string_view::npos;
        }
        joinedSize += line.size();
        // As Dispatch: a message without a header end declares nothing and is whole.
        const int declared = headerEnded ? CForexProtocol::DeclaredLength(header) : 0;
        if (static_cast<long long>(joinedSize) >= declared) {
            return lineEnd + wire::kServerLineEndSize;
        }
        at = lineEnd + wire::kServerLineEndSize;
    }
    return std::string_view::npos;
}

}  // namespace

size_t CForexProtocol::WholeMessagesSize(std::string_view pending) {
    size_t whole = 0;
    while (whole < pending.size()) {
        const size_t end = MessageEnd(pending, whole);
        if (end == std::string_view::npos) {
            break;
        }
        whole = std::min(end, pending.size());
    }
    return whole;
}

bool CForexProtocol::HasWholeMessage(std::string_view pending) {
    return !pending.empty() && MessageEnd(pending, 0) != std::string_view::npos;
}

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
    inner += wire::kHeaderEnd;
    inner += body;
    inner += wire::kRecordEnd;
    std::string frame =
        PadLeft(std::to_string(inner.size() + wire::kFixedHeaderSize), wire::kLengthFieldSize);
    frame += PadLeft(std::string(), wire::kZeroFieldSize);
    frame += inner;
    return frame;
}

wire::Result CForexProtocol::ProcessReceived(CReceiveBuffer& buffer) {
    if (buffer.IsEmpty()) {
        return wire::Result::Incomplete;
    }
    const size_t messageSize = buffer.FindLineEnd(wire::kServerLineEnd);
    if (messageSize == std::string_view::npos) {
        return wire::Result::Incomplete;
    }
    const wire::Result result = Dispatch(buffer.View().substr(0, messageSize));
    if (result != wire::Result::Incomplete) {
        buffer.Consume(messageSize + wire::kServerLineEndSize);
    } else {
        JoinShortLine(buffer, messageSize);
    }
    return wire::Result::Handled;
}

void CForexProtocol::JoinShortLine(CReceiveBuffer& buffer, size_t lineSize) {
    // Shorter than declared: the lines after it join it, their line ends dropped, until it is
    // long enough or no whole line is left. All in one move: dropping one line end at a time
    // would move the rest of the buffer once per line, which a message sent as many short
    // lines makes quadratic.
    const std::string_view pending = buffer.View();
    const std::string_view line = pending.substr(0, lineSize);
    const long long declared = DeclaredLength(line.substr(0, line.find(wire::kHeaderEnd)));
    std::vector<size_t> lineEnds{lineSize};
    long long joined = static_cast<long long>(lineSize);
    size_t at = lineSize + wire::kServerLineEndSize;
    while (at < pending.size()) {
        const size_t next = pending.find(wire::kServerLineEnd, at);
        if (next == std::string_view::npos) {
            break;
        }
        joined += static_cast<long long>(next - at);
        if (joined >= declared) {
            break;  // this line end ends the message
        }
        lineEnds.push_back(next);
        at = next + wire::kServerLineEndSize;
    }
    buffer.EraseSeparators(lineEnds, wire::kServerLineEndSize);
}
