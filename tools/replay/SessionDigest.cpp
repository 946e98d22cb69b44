#include "SessionDigest.h"

#include <algorithm>
#include <utility>

#include "PrintedField.h"
#include "vocabulary/CaptureLine.h"
#include "vocabulary/WireVocabulary.h"

namespace {

constexpr std::string_view kListItem = "  -";

struct OutcomeKind {
    const char* callback;
    const char* kind;
    const char* field;  // what names the result
};

const OutcomeKind kOutcomes[] = {
    {"OnBargainOpened", "deal", "BargainNo"},  {"OnBargainClosed", "deal", "BargainNo"},
    {"OnOrderAdded", "order", "OrderNo"},      {"OnOrderChanged", "order", "OrderNo"},
    {"OnOrderDeleted", "order", "OrderNo"},    {"OnOpenRefused", "refusal", "Value28"},
    {"OnCloseRefused", "refusal", "Value28"},  {"OnOrderRefused", "refusal", "Value28"},
    {"OnChangeRefused", "refusal", "Value28"}, {"OnDeleteRefused", "refusal", "Value28"},
};

const OutcomeKind* FindOutcome(std::string_view callback) {
    for (const OutcomeKind& outcome : kOutcomes) {
        if (callback == outcome.callback) {
            return &outcome;
        }
    }
    return nullptr;
}

// The fields of a sent order frame's body, split at the field separator; empty for a frame of
// another request.
std::vector<std::string> OrderFrameFields(const std::string& escaped) {
    std::string frame;
    if (!capture::Unescape(escaped, frame)) {
        return {};
    }
    const size_t headerEnd = frame.find(wire::kHeaderEnd);
    if (headerEnd == std::string::npos || headerEnd < wire::kFixedHeaderSize ||
        frame.substr(wire::kFixedHeaderSize, headerEnd - wire::kFixedHeaderSize) !=
            std::to_string(wire::kOrderRequest)) {
        return {};
    }
    std::vector<std::string> fields;
    size_t at = headerEnd + 1;
    while (at <= frame.size()) {
        const size_t end = std::min(frame.find(wire::kFieldEnd, at), frame.size());
        fields.push_back(frame.substr(at, end - at));
        at = end + 1;
    }
    return fields;
}

// Counts as "name=count", most first, then by name.
std::string CountsText(const std::map<std::string, std::uint64_t>& counts) {
    std::vector<std::pair<std::string, std::uint64_t>> sorted(counts.begin(), counts.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string text;
    for (const auto& [name, count] : sorted) {
        text += " " + name + "=" + std::to_string(count);
    }
    return text;
}

std::int64_t Percentile(const std::vector<std::int64_t>& sorted, size_t percent) {
    const size_t rank = (sorted.size() * percent + 99) / 100;
    return sorted[rank == 0 ? 0 : rank - 1];
}

}  // namespace

CSessionDigest::CSessionDigest(const CCaptureReplay& replay, TimeText timeText)
    : m_replay(replay), m_timeText(std::move(timeText)) {}

void CSessionDigest::OnLine(std::string_view line) {
    if (line.substr(0, kListItem.size()) == kListItem) {
        return;
    }
    const std::string callback(line.substr(0, line.find(' ')));
    ++m_callbacks[callback];
    const OutcomeKind* outcome = FindOutcome(callback);
    if (outcome == nullptr) {
        return;
    }
    const std::string_view value = FieldValue(line, outcome->field);
    if (std::string_view(outcome->kind) == "refusal") {
        m_refusals.push_back(callback +
                             " InternalNo=" + std::string(FieldValue(line, "InternalNo")) +
                             " reason=" + std::string(value));
    }
    if (m_replay.CommitsApplied() == 0 || m_replay.Messages().empty()) {
        return;  // a reply to an order this capture does not hold
    }
    Outcome& seen = m_outcomes[m_replay.CommitsApplied() - 1];
    if (seen.seen) {
        return;  // the first answer to an order is its outcome
    }
    const CCaptureReplay::MessageTimes& message = m_replay.Messages().back();
    seen.seen = true;
    seen.text = std::string(outcome->kind) + " " + callback + " " + outcome->field + "=" +
                std::string(value);
    seen.received = message.received;
    seen.dispatched = message.dispatched;
}

std::string CSessionDigest::Step(std::string_view name, std::int64_t ms,
                                 std::int64_t& previous) const {
    if (ms < 0) {
        return ", " + std::string(name) + " -";
    }
    std::string text = ", " + std::string(name) + " " + m_timeText(static_cast<std::uint64_t>(ms));
    if (previous >= 0) {
        text += " (+" + std::to_string(ms - previous) + ")";
    }
    previous = ms;
    return text;
}

std::vector<std::string> CSessionDigest::OrderLines() const {
    std::vector<std::string> lines;
    const std::vector<CCaptureReplay::SentFrame>& sent = m_replay.SentFrames();
    std::vector<bool> used(sent.size(), false);
    const std::vector<CCaptureReplay::Commit>& commits = m_replay.Commits();
    for (size_t i = 0; i < commits.size(); ++i) {
        const CCaptureReplay::Commit& commit = commits[i];
        const std::string internalNo = std::to_string(commit.order.InternalNo);
        // Its frame: the first order request after it that carries its number.
        std::int64_t sentMs = -1;
        for (size_t s = 0; s < sent.size() && sentMs < 0; ++s) {
            if (used[s] || sent[s].ms < commit.ms) {
                continue;
            }
            const std::vector<std::string> fields = OrderFrameFields(sent[s].frame);
            if (fields.size() > 4 && fields[4] == internalNo) {
                used[s] = true;
                sentMs = sent[s].ms;
            }
        }
        std::string line = "order " + std::to_string(i + 1) + " InternalNo=" + internalNo +
                           " OrderKind=" + std::to_string(commit.order.OrderKind) + ":";
        std::int64_t previous = -1;
        line += Step("commit", commit.ms, previous).substr(1);
        line += Step("send", sentMs, previous);
        const auto found = m_outcomes.find(i);
        if (found == m_outcomes.end()) {
            lines.push_back(line + ", no answer");
            continue;
        }
        const Outcome& outcome = found->second;
        line += Step("received", outcome.received, previous);
        line += Step("dispatched", outcome.dispatched, previous);
        lines.push_back(line + ", " + outcome.text);
    }
    return lines;
}

std::vector<std::string> CSessionDigest::SummaryLines() const {
    std::map<std::string, std::uint64_t> codes;
    std::vector<std::int64_t> delays;
    for (const CCaptureReplay::MessageTimes& message : m_replay.Messages()) {
        ++codes[std::to_string(message.code)];
        if (message.dispatched >= 0) {
            delays.push_back(std::max<std::int64_t>(0, message.dispatched - message.received));
        }
    }
    const auto count = [this](const char* callback) {
        const auto found = m_callbacks.find(callback);
        return std::to_string(found == m_callbacks.end() ? 0 : found->second);
    };
    std::vector<std::string> lines;
    lines.push_back("messages" + CountsText(codes));
    lines.push_back("callbacks" + CountsText(m_callbacks));
    lines.push_back("deals opened=" + count("OnBargainOpened") +
                    " closed=" + count("OnBargainClosed"));
    lines.push_back("orders placed=" + count("OnOrderAdded") +
                    " changed=" + count("OnOrderChanged") + " deleted=" + count("OnOrderDeleted"));
    lines.push_back("refusals " + std::to_string(m_refusals.size()));
    for (const std::string& refusal : m_refusals) {
        lines.push_back("  - " + refusal);
    }
    if (delays.empty()) {
        lines.push_back("receive-to-dispatch ms: no dispatch records in this capture");
        return lines;
    }
    std::sort(delays.begin(), delays.end());
    lines.push_back("receive-to-dispatch ms p50=" + std::to_string(Percentile(delays, 50)) +
                    " p99=" + std::to_string(Percentile(delays, 99)) + " max=" +
                    std::to_string(delays.back()) + " (n=" + std::to_string(delays.size()) + ")");
    return lines;
}
