#include "ReplayFeed.h"

#include <algorithm>
#include <fstream>

#include "vocabulary/CaptureLine.h"
#include "vocabulary/WireVocabulary.h"

namespace sim {

namespace {

// The code of a sent frame, read after the fixed header; -1 for what is no frame.
int RequestCode(std::string_view payload) {
    std::string frame;
    if (!capture::Unescape(payload, frame) || frame.size() <= wire::kFixedHeaderSize) {
        return -1;
    }
    const size_t headerEnd = frame.find(wire::kHeaderEnd, wire::kFixedHeaderSize);
    if (headerEnd == std::string::npos || headerEnd == wire::kFixedHeaderSize) {
        return -1;
    }
    int code = 0;
    for (size_t at = wire::kFixedHeaderSize; at < headerEnd; ++at) {
        if (frame[at] < '0' || frame[at] > '9' || code > 99999999) {
            return -1;
        }
        code = code * 10 + (frame[at] - '0');
    }
    return code;
}

bool IsGateRequest(int code) {
    return code == wire::kOrderRequest || code == wire::kHistoryRequest ||
           code == wire::kLogoutRequest;
}

}  // namespace

bool ReplayFeed::Load(const std::string& path, bool fast, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read the capture " + path;
        return false;
    }
    m_fast = fast;
    std::string text;
    bool first = true;
    bool loginSeen = false;
    // Orders whose commit record opened a gate and whose frame has not been met yet.
    size_t committed = 0;
    while (std::getline(file, text)) {
        if (first) {
            first = false;
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
            if (!capture::IsHeader(text)) {
                error = path + " is not a capture file";
                return false;
            }
            continue;
        }
        capture::Line line;
        if (!capture::SplitLine(text, line)) {
            continue;
        }
        if (line.kind == capture::kCommitted) {
            AddGate(line.ms);
            ++committed;
            continue;
        }
        const int code = line.kind == capture::kSent ? RequestCode(line.payload) : -1;
        if (code == wire::kLoginRequest) {
            ++m_logins;
            if (!loginSeen && m_chunks.empty()) {
                loginSeen = true;
                m_gateMs[0] = line.ms;
            }
        } else if (code == wire::kOrderRequest && committed > 0) {
            --committed;  // its gate is its commit's
        } else if (IsGateRequest(code)) {
            AddGate(line.ms);
        }
        if (line.kind != capture::kReceived) {
            continue;
        }
        Chunk chunk;
        chunk.ms = line.ms;
        chunk.gate = GateCount();
        if (!capture::Unescape(line.payload, chunk.bytes)) {
            error = path + ": bad escape in received bytes";
            return false;
        }
        if (!loginSeen && m_chunks.empty() && chunk.gate == 0) {
            m_gateMs[0] = chunk.ms;
        }
        m_chunks.push_back(std::move(chunk));
    }
    if (m_chunks.empty()) {
        error = path + " holds no received bytes";
        return false;
    }
    return true;
}

void ReplayFeed::AddGate(std::uint32_t ms) {
    m_gateMs.push_back(ms);
}

std::uint32_t ReplayFeed::DurationMs() const {
    if (m_chunks.empty() || m_chunks.back().ms < m_gateMs[0]) {
        return 0;
    }
    return m_chunks.back().ms - m_gateMs[0];
}

void ReplayFeed::Begin(int session, Clock::time_point now) {
    if (m_started) {
        return;
    }
    m_started = true;
    m_session = session;
    m_opened.assign(1, now);
}

void ReplayFeed::OnRequest(int session, int code, Clock::time_point now) {
    if (IsServing(session) && IsGateRequest(code) && m_opened.size() < m_gateMs.size()) {
        m_opened.push_back(now);
    }
}

ReplayFeed::Clock::time_point ReplayFeed::DueAt(const Chunk& chunk) const {
    const Clock::time_point opened = m_opened[chunk.gate];
    if (m_fast) {
        return opened;
    }
    // Time stamps wrap like the library's 32-bit millisecond counter; a chunk recorded before
    // its gate's own record (the threads' records may cross) leaves as the gate opens.
    const auto offset = static_cast<std::uint32_t>(chunk.ms - m_gateMs[chunk.gate]);
    return opened + std::chrono::milliseconds(offset > 0x7FFFFFFFu ? 0 : offset);
}

std::chrono::milliseconds ReplayFeed::Wait(Clock::time_point now,
                                           std::chrono::milliseconds most) const {
    if (!m_started || m_next >= m_chunks.size() || !IsOpen(m_chunks[m_next])) {
        return most;
    }
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(DueAt(m_chunks[m_next]) - now);
    return std::clamp(wait, std::chrono::milliseconds(0), most);
}

}  // namespace sim
