#include "protocol/CaptureReplay.h"

#include <algorithm>
#include <istream>

#include "platform/NumberText.h"
#include "protocol/CaptureRecords.h"
#include "vocabulary/CaptureLine.h"

namespace {

// The value of `key=` among space-separated words, empty when absent.
std::string_view WordValue(std::string_view words, std::string_view key) {
    size_t at = 0;
    while (at < words.size()) {
        const size_t end = std::min(words.find(' ', at), words.size());
        const std::string_view word = words.substr(at, end - at);
        if (word.size() > key.size() && word.substr(0, key.size()) == key &&
            word[key.size()] == '=') {
            return word.substr(key.size() + 1);
        }
        at = end + 1;
    }
    return {};
}

std::uint64_t ReadCount(std::string_view digits) {
    std::uint64_t value = 0;
    for (const char ch : digits) {
        if (ch < '0' || ch > '9') {
            break;
        }
        value = value * 10 + static_cast<std::uint64_t>(ch - '0');
    }
    return value;
}

}  // namespace

bool CCaptureReplay::Load(std::string_view text, std::string& error) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!AddLine(line, end != std::string_view::npos, error)) {
            return false;
        }
    }
    return Finish(error);
}

bool CCaptureReplay::Load(std::istream& in, std::string& error) {
    const std::streamoff start = in.tellg();
    if (start >= 0) {
        m_source = &in;
        m_sourceStart = start;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!AddLine(line, !in.eof(), error)) {
            return false;
        }
    }
    return Finish(error);
}

bool CCaptureReplay::AddLine(std::string_view line, bool ended, std::string& error) {
    if (m_cut) {
        return true;
    }
    ++m_lines;
    if (m_lines == 1) {
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!capture::IsHeader(line)) {
            error = "line 1: not a capture file";
            return false;
        }
        m_header = std::string(line.substr(std::min(line.size(), capture::kMagic.size() + 1)));
        const std::string_view pass = WordValue(m_header, "pass");
        m_immediate = pass == "immediate";
        const int perPass = ParseAtoi(pass);
        m_messagesPerPass = perPass > 0 ? perPass : 1;
        return true;
    }
    if (line.empty() || ReadRecord(line, error)) {
        return true;
    }
    if (!ended) {
        m_cut = true;  // a last record cut off in the middle: the file stops where it was cut
        return true;
    }
    error = "line " + std::to_string(m_lines) + ": " + error;
    return false;
}

bool CCaptureReplay::Finish(std::string& error) {
    if (m_lines == 0) {
        error = "empty file";
        return false;
    }
    std::stable_sort(m_commits.begin(), m_commits.end(),
                     [](const Commit& a, const Commit& b) { return a.after < b.after; });
    return true;
}

bool CCaptureReplay::ReadRecord(std::string_view text, std::string& error) {
    capture::Line line;
    if (!capture::SplitLine(text, line)) {
        error = "not a record";
        return false;
    }
    if (line.kind == capture::kReceived) {
        Chunk chunk;
        chunk.ms = line.ms;
        if (!capture::Unescape(line.payload, m_source != nullptr ? m_unescaped : chunk.bytes)) {
            error = "bad escape in the received bytes";
            return false;
        }
        m_firstChunkMs = m_chunkCount == 0 ? line.ms : m_firstChunkMs;
        ++m_chunkCount;
        if (m_source == nullptr) {
            m_chunks.push_back(std::move(chunk));
        }
    } else if (line.kind == capture::kCommitted) {
        Commit commit;
        commit.ms = line.ms;
        commit.after = ReadCount(WordValue(line.payload, "after"));
        const size_t fields = line.payload.find(' ');
        const std::string_view order =
            fields == std::string_view::npos ? std::string_view() : line.payload.substr(fields + 1);
        if (!CaptureRecords::DecodeOrder(order, commit.order)) {
            error = "bad order";
            return false;
        }
        m_commits.push_back(std::move(commit));
    } else if (line.kind == capture::kDispatched) {
        m_dispatchTimes.push_back(line.ms);
    } else if (line.kind == capture::kClosed) {
        const std::string_view dispatched = WordValue(line.payload, "dispatched");
        if (!dispatched.empty()) {
            m_dispatchLimit = ReadCount(dispatched);
        }
        m_closed = true;
    }
    if (line.kind == capture::kSent) {
        m_sent.push_back({line.ms, std::string(line.payload)});
    }
    // Frames sent, drop counts and the limit record change nothing the protocol object sees.
    return true;
}

bool CCaptureReplay::NextChunk(Chunk& chunk) {
    if (m_chunksTaken >= m_chunkCount) {
        return false;
    }
    if (m_source == nullptr) {
        // Taken, not copied: what has been appended is held by the buffer alone.
        chunk = std::move(m_chunks[m_chunksTaken++]);
        return true;
    }
    if (m_chunksTaken == 0) {
        m_source->clear();
        m_source->seekg(m_sourceStart);
        std::string header;
        std::getline(*m_source, header);
    }
    std::string text;
    while (std::getline(*m_source, text)) {
        capture::Line line;
        // Load read these lines already: only the received chunks it counted come back.
        if (capture::SplitLine(text, line) && line.kind == capture::kReceived &&
            capture::Unescape(line.payload, chunk.bytes)) {
            chunk.ms = line.ms;
            ++m_chunksTaken;
            return true;
        }
    }
    m_chunksTaken = m_chunkCount;  // the file changed since Load: it ends here
    return false;
}

void CCaptureReplay::ApplyCommitsDue() {
    while (m_nextCommit < m_commits.size() && m_commits[m_nextCommit].after <= m_dispatched) {
        // Builds the request as CommitBill did, which stores it as the last committed order;
        // the frame itself goes nowhere.
        (void)m_protocol.BuildCommitBill(m_commits[m_nextCommit].order);
        ++m_nextCommit;
    }
}

bool CCaptureReplay::DispatchOne() {
    if (m_dispatched >= m_dispatchLimit) {
        return false;
    }
    ApplyCommitsDue();
    const size_t lineEnd = m_buffer.FindLineEnd(wire::kServerLineEnd);
    if (lineEnd != std::string_view::npos) {
        const int code = CForexProtocol::DispatchCode(m_buffer.View().substr(0, lineEnd));
        if (code >= 0) {
            // What the callbacks about to run belong to; a joined line is no message of its own.
            MessageTimes message;
            message.code = code;
            message.received = m_lastAppendMs;
            const size_t index = m_messageCount++;
            message.dispatched = index < m_dispatchTimes.size()
                                     ? static_cast<std::int64_t>(m_dispatchTimes[index])
                                     : -1;
            if (m_keepMessages || m_messages.empty()) {
                m_messages.push_back(message);
            } else {
                m_messages.back() = message;
            }
        }
    }
    if (m_protocol.ProcessReceived(m_buffer) == wire::Result::Incomplete) {
        return false;
    }
    ++m_dispatched;
    return true;
}

bool CCaptureReplay::RunPass(std::uint64_t ms, const std::function<void(std::uint64_t)>& onPass) {
    bool told = false;
    for (int i = 0; i < m_messagesPerPass; ++i) {
        if (!told && onPass != nullptr && !m_buffer.IsEmpty()) {
            onPass(ms);
            told = true;
        }
        if (!DispatchOne()) {
            return i > 0;
        }
    }
    return true;
}

void CCaptureReplay::Run(CAbsForexNotify& sink, bool pace,
                         const std::function<void(std::uint64_t)>& onPass) {
    if (m_protocol.GetDataCenter() == nullptr) {
        return;
    }
    m_protocol.GetDataCenter()->SetNotify(&sink);
    // A connection without passes dispatched what each chunk completed at the chunk's time.
    const bool passes = pace && !m_immediate;
    // 64 bits: a pass time near the top of the 32-bit record times must not wrap.
    std::uint64_t nextPass = m_firstChunkMs;
    Chunk chunk;
    while (NextChunk(chunk)) {
        while (passes && nextPass <= chunk.ms) {
            // A pass that takes nothing leaves nothing for the next ones until more bytes come:
            // go straight to the last pass before them, however long the pause.
            if (!RunPass(nextPass, onPass) && nextPass + kPassMs <= chunk.ms) {
                nextPass += (chunk.ms - nextPass) / kPassMs * kPassMs;
                continue;
            }
            nextPass += kPassMs;
        }
        if (m_buffer.Size() + chunk.bytes.size() > wire::kReceiveCeiling) {
            // As the live reader: the whole messages in front still go out, the one that
            // outgrew the ceiling is dropped, and nothing more is read. A file forged to hold
            // more cannot make the replay hold more.
            m_buffer.KeepFront(CForexProtocol::WholeMessagesSize(m_buffer.View()));
            break;
        }
        m_lastAppendMs = chunk.ms;
        m_buffer.Append(chunk.bytes);
        if (pace && !passes && onPass != nullptr) {
            onPass(chunk.ms);
        }
        while (!passes && DispatchOne()) {
        }
    }
    // What was still waiting when the capture ended goes out as the live passes would have.
    while (passes && RunPass(nextPass, onPass)) {
        nextPass += kPassMs;
    }
    ApplyCommitsDue();
    m_protocol.GetDataCenter()->UnSetNotify();
}
