#pragma once
// What tradewire-replay's --summary and --orders print: built from the callback lines the
// printer makes (CallbackPrinter.h) while a CCaptureReplay runs, and from the replay's view of
// the capture (its messages with their receive and dispatch times, its commits and frames
// sent). Every time comes from the file, never from the pace. One thread: the one running the
// replay.
//
//   --orders, one line per committed order:
//     order 1 InternalNo=4242 MerchCode=EURUSD OrderKind=60: commit 2375, send 2383 (+8),
//       received 6636 (+4253), dispatched 7429 (+793), deal OnBargainOpened BargainNo=11
//   --summary, a block of lines:
//     messages 9518=109 8000=1 ...       (by code, most first)
//     callbacks OnRealtimePrice=109 ...  (by name, most first)
//     deals opened=1 closed=0
//     orders placed=0 changed=0 deleted=0
//     refusals 1: OnOpenRefused reason=...
//     receive-to-dispatch ms p50=12 p99=31 max=40 (n=130)

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/CaptureReplay.h"

class CSessionDigest {
  public:
    // Writes a captured time for the report lines (plain milliseconds, or --utc's form).
    using TimeText = std::function<std::string(std::uint64_t ms)>;

    CSessionDigest(const CCaptureReplay& replay, TimeText timeText);

    // One line as the printer made it, without a prefix; called during the replay's Run, so
    // the replay's last message is the one whose callback it is.
    void OnLine(std::string_view line);

    std::vector<std::string> OrderLines() const;
    std::vector<std::string> SummaryLines() const;

  private:
    struct Outcome {
        bool seen = false;
        std::string text;  // e.g. "deal OnBargainOpened BargainNo=11"
        std::uint32_t received = 0;
        std::int64_t dispatched = -1;
    };

    std::string Step(std::string_view name, std::int64_t ms, std::int64_t& previous) const;

    const CCaptureReplay& m_replay;
    TimeText m_timeText;
    std::map<std::string, std::uint64_t> m_callbacks;
    std::map<size_t, Outcome> m_outcomes;  // by index into the replay's commits
    std::vector<std::string> m_refusals;
};
