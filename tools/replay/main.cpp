// tradewire-replay: feeds a capture file into the library's protocol object and data center,
// with no network and no threads, and prints one line per callback (README, "Capture and
// replay"). Two library versions replaying the same capture can be compared with diff.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include <algorithm>
#include <vector>

#include "BriefText.h"
#include "CallbackPrinter.h"
#include "CommandLine.h"
#include "ReplayOptions.h"
#include "SessionDigest.h"
#include "SessionScript.h"
#include "protocol/CaptureReplay.h"

namespace {

void PrintLine(const std::string& line) {
    std::cout << line << '\n';
}

// One store read through its getter: a list as "NAME n=COUNT" and its records, a single record
// as "NAME" and its fields.
template <class Record>
std::string StoreText(const char* name, const CArray<Record, Record&>& records) {
    return CCallbackPrinter::ListLines(name, records);
}
template <class Record>
std::string StoreText(const char* name, const Record& record) {
    std::string text = name;
    RecordText::Append(text, record);
    return text;
}

template <class Store>
void PrintStore(CForexDataCenter& center, void (CForexDataCenter::*get)(Store&), const char* name) {
    Store store;
    (center.*get)(store);
    PrintLine(StoreText(name, store));
}

void PrintStores(CForexDataCenter& center, CCallbackPrinter& printer) {
    PrintLine("# stores");
    CAccountInfo account;
    center.GetAccountInfo(account);
    printer.OnAccountInfo(account);
    PrintStore(center, &CForexDataCenter::GetForexMerchs, "GetForexMerchs");
    PrintStore(center, &CForexDataCenter::GetCurrencysInfo, "GetCurrencysInfo");
    PrintStore(center, &CForexDataCenter::GetBargainsInfo, "GetBargainsInfo");
    PrintStore(center, &CForexDataCenter::GetOrdersInfo, "GetOrdersInfo");
    PrintStore(center, &CForexDataCenter::GetHistoryOrderInfo, "GetHistoryOrderInfo");
    PrintStore(center, &CForexDataCenter::GetGroupInfo, "GetGroupInfo");
    PrintStore(center, &CForexDataCenter::GetBaseInfo, "GetBaseInfo");
    PrintStore(center, &CForexDataCenter::GetBroadCast, "GetBroadCast");
    PrintLine("GetErrorCode code=" + std::to_string(static_cast<int>(center.GetErrorCode())));
}

// Between the printer and standard output: the chosen callbacks, in brief or in full, each
// led by its time; or, for --orders and --summary, nothing but what the digest collects.
class CLineRouter {
  public:
    CLineRouter(const replay::ReplayOptions& options, const CCaptureReplay& replay)
        : m_options(options),
          m_replay(replay),
          m_start(WordValue(replay.Header(), "start")),
          m_digest(replay, [this](std::uint64_t ms) { return TimeText(ms); }) {}

    void SetPassTime(std::uint64_t ms) { m_prefix = TimeText(ms) + " "; }
    void ClearPrefix() {
        m_prefix.clear();
        m_stores = true;
    }
    void Line(const std::string& line) {
        if (m_options.orders || m_options.summary) {
            m_digest.OnLine(line);
            return;
        }
        const bool item = line.rfind(kListItem, 0) == 0;
        if (!item) {
            m_shown = Wanted(line.substr(0, line.find(' ')));
            m_items = 0;
            if (m_options.utc && !m_options.pace && !m_stores && !m_replay.Messages().empty()) {
                const CCaptureReplay::MessageTimes& message = m_replay.Messages().back();
                m_prefix = TimeText(message.dispatched >= 0
                                        ? static_cast<std::uint64_t>(message.dispatched)
                                        : message.received) +
                           " ";
            }
        }
        if (!m_shown) {
            return;
        }
        if (!m_options.brief) {
            PrintLine(m_prefix + line);
            return;
        }
        if (item && ++m_items > kBriefItems) {
            if (m_items == kBriefItems + 1) {
                PrintLine(m_prefix + std::string(kListItem) + " ...");
            }
            return;
        }
        PrintLine(m_prefix + BriefText::Line(line));
    }
    void Finish() const {
        if (m_options.orders) {
            for (const std::string& line : m_digest.OrderLines()) {
                PrintLine(line);
            }
        }
        if (m_options.summary) {
            for (const std::string& line : m_digest.SummaryLines()) {
                PrintLine(line);
            }
        }
    }

  private:
    static constexpr std::string_view kListItem = "  -";
    static constexpr int kBriefItems = 3;

    static std::string WordValue(const std::string& words, const std::string& key) {
        const size_t at = (" " + words).find(" " + key + "=");
        if (at == std::string::npos) {
            return {};
        }
        const size_t start = at + key.size() + 1;
        return words.substr(start, words.find(' ', start) - start);
    }
    std::string TimeText(std::uint64_t ms) const {
        const std::string utc = m_options.utc ? BriefText::UtcTime(m_start, ms) : std::string();
        return utc.empty() ? std::to_string(ms) : utc;
    }
    bool Wanted(const std::string& callback) const {
        const auto named = [&callback](const std::vector<std::string>& names) {
            return std::find(names.begin(), names.end(), callback) != names.end();
        };
        return (m_options.only.empty() || named(m_options.only)) && !named(m_options.skip);
    }

    const replay::ReplayOptions& m_options;
    const CCaptureReplay& m_replay;
    std::string m_start;
    CSessionDigest m_digest;
    std::string m_prefix;
    bool m_shown = true;
    bool m_stores = false;
    int m_items = 0;
};

// --script: the replay runs unprinted, for the instruments and the answers' times.
int PrintScript(CCaptureReplay& replay, const std::string& captureFile) {
    CCallbackPrinter silent([](const std::string&) {});
    replay.Run(silent, false);
    CForexMerchArray merchs;
    if (replay.GetDataCenter() != nullptr) {
        replay.GetDataCenter()->GetForexMerchs(merchs);
    }
    PrintLine("# tradewire-term --script for tradewire-sim --replay " + captureFile);
    for (const std::string& line : CSessionScript::Lines(replay, merchs)) {
        PrintLine(line);
    }
    std::cout.flush();
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    replay::ReplayOptions options;
    if (const auto status =
            tools::ReadCommandLine(argc, argv, replay::ParseReplayOptions, options)) {
        return *status;
    }
    std::ifstream file(options.captureFile, std::ios::binary);
    if (!file) {
        (void)std::fprintf(stderr, "cannot read the capture %s\n", options.captureFile.c_str());
        return 2;
    }
    // Read a line at a time, the received bytes twice: nothing but what the parser has not
    // consumed yet is held of them.
    CCaptureReplay replay;
    std::string error;
    if (!replay.Load(file, error)) {
        (void)std::fprintf(stderr, "%s: %s\n", options.captureFile.c_str(), error.c_str());
        return 1;
    }
    if (options.script) {
        return PrintScript(replay, options.captureFile);
    }
    // Only the summary reads every message's times; the rest ask for the current one.
    replay.KeepMessages(options.summary);
    CLineRouter router(options, replay);
    CCallbackPrinter printer([&router](const std::string& line) { router.Line(line); });
    replay.Run(printer, options.pace, [&router](std::uint64_t ms) { router.SetPassTime(ms); });
    if (options.stores && replay.GetDataCenter() != nullptr) {
        router.ClearPrefix();
        PrintStores(*replay.GetDataCenter(), printer);
    }
    router.Finish();
    std::cout.flush();
    if (!replay.Closed()) {
        // Everything up to the cut has been printed; a script must still learn it was cut.
        (void)std::fprintf(stderr, "%s: the capture ends without its close record: cut short\n",
                           options.captureFile.c_str());
        return 3;
    }
    return 0;
}
