#include "ReplayFeed.h"

#include <algorithm>
#include <fstream>

#include "vocabulary/CaptureLine.h"
#include "vocabulary/WireVocabulary.h"

namespace sim {

namespace {

// A sent frame is a login request when its code, after the fixed header, is 8000.
bool IsLoginRecord(std::string_view payload) {
    std::string frame;
    if (!capture::Unescape(payload, frame) || frame.size() <= wire::kFixedHeaderSize) {
        return false;
    }
    const std::string code = std::to_string(wire::kLoginRequest) + wire::kHeaderEnd;
    return frame.compare(wire::kFixedHeaderSize, code.size(), code) == 0;
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
        const bool login = line.kind == capture::kSent && IsLoginRecord(line.payload);
        m_logins += login ? 1 : 0;
        if (login && !loginSeen && m_chunks.empty()) {
            loginSeen = true;
            m_baseMs = line.ms;
        }
        if (line.kind != capture::kReceived) {
            continue;
        }
        Chunk chunk;
        chunk.ms = line.ms;
        if (!capture::Unescape(line.payload, chunk.bytes)) {
            error = path + ": bad escape in received bytes";
            return false;
        }
        if (!loginSeen && m_chunks.empty()) {
            m_baseMs = chunk.ms;
        }
        m_chunks.push_back(std::move(chunk));
    }
    if (m_chunks.empty()) {
        error = path + " holds no received bytes";
        return false;
    }
    return true;
}

std::uint32_t ReplayFeed::DurationMs() const {
    if (m_chunks.empty() || m_chunks.back().ms < m_baseMs) {
        return 0;
    }
    return m_chunks.back().ms - m_baseMs;
}

void ReplayFeed::Begin(int session, Clock::time_point now) {
    if (m_started) {
        return;
    }
    m_started = true;
    m_session = session;
    m_start = now;
}

ReplayFeed::Clock::time_point ReplayFeed::DueAt(const Chunk& chunk) const {
    if (m_fast) {
        return m_start;
    }
    // Time stamps wrap like the library's 32-bit millisecond counter.
    const auto offset = static_cast<std::uint32_t>(chunk.ms - m_baseMs);
    return m_start + std::chrono::milliseconds(offset > 0x7FFFFFFFu ? 0 : offset);
}

std::chrono::milliseconds ReplayFeed::Wait(Clock::time_point now,
                                           std::chrono::milliseconds most) const {
    if (!m_started || m_next >= m_chunks.size()) {
        return most;
    }
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(DueAt(m_chunks[m_next]) - now);
    return std::clamp(wait, std::chrono::milliseconds(0), most);
}

}  // namespace sim
