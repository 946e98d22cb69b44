#include "protocol/CaptureReplay.h"

#include <algorithm>

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
    size_t number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (number == 1) {
            if (line.substr(0, capture::kMagic.size()) != capture::kMagic) {
                error = "line 1: not a capture file";
                return false;
            }
            m_header = std::string(line.substr(std::min(line.size(), capture::kMagic.size() + 1)));
            const int pass = ParseAtoi(WordValue(m_header, "pass"));
            m_messagesPerPass = pass > 0 ? pass : 1;
            continue;
        }
        if (line.empty() || !ReadRecord(line, error)) {
            if (line.empty()) {
                continue;
            }
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    if (number == 0) {
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
        if (!capture::Unescape(line.payload, chunk.bytes)) {
            error = "bad escape in the received bytes";
            return false;
        }
        m_chunks.push_back(std::move(chunk));
    } else if (line.kind == capture::kCommitted) {
        Commit commit;
        commit.after = ReadCount(WordValue(line.payload, "after"));
        const size_t fields = line.payload.find(' ');
        const std::string_view order =
            fields == std::string_view::npos ? std::string_view() : line.payload.substr(fields + 1);
        if (!CaptureRecords::DecodeOrder(order, commit.order)) {
            error = "bad order";
            return false;
        }
        m_commits.push_back(std::move(commit));
    } else if (line.kind == capture::kClosed) {
        const std::string_view dispatched = WordValue(line.payload, "dispatched");
        if (!dispatched.empty()) {
            m_dispatchLimit = ReadCount(dispatched);
        }
    }
    // Frames sent, drop counts and the limit record change nothing the protocol object sees.
    return true;
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
    if (m_protocol.ProcessReceived(m_buffer) == wire::Result::Incomplete) {
        return false;
    }
    ++m_dispatched;
    return true;
}

void CCaptureReplay::RunPass(std::uint32_t ms, const std::function<void(std::uint32_t)>& onPass) {
    bool told = false;
    for (int i = 0; i < m_messagesPerPass; ++i) {
        if (!told && onPass != nullptr && !m_buffer.IsEmpty()) {
            onPass(ms);
            told = true;
        }
        if (!DispatchOne()) {
            return;
        }
    }
}

void CCaptureReplay::Run(CAbsForexNotify& sink, bool pace,
                         const std::function<void(std::uint32_t)>& onPass) {
    if (m_protocol.GetDataCenter() == nullptr) {
        return;
    }
    m_protocol.GetDataCenter()->SetNotify(&sink);
    std::uint32_t nextPass = m_chunks.empty() ? 0 : m_chunks.front().ms;
    for (const Chunk& chunk : m_chunks) {
        if (pace) {
            for (; nextPass <= chunk.ms; nextPass += kPassMs) {
                RunPass(nextPass, onPass);
            }
        }
        m_lastChunkMs = chunk.ms;
        m_buffer.Append(chunk.bytes);
        while (!pace && DispatchOne()) {
        }
    }
    // What was still waiting when the capture ended goes out as the live passes would have.
    for (std::uint64_t before = m_dispatched - 1; pace && before != m_dispatched;
         nextPass += kPassMs) {
        before = m_dispatched;
        RunPass(nextPass, onPass);
    }
    ApplyCommitsDue();
    m_protocol.GetDataCenter()->UnSetNotify();
}
