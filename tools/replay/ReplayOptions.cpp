#include "ReplayOptions.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "CommandLine.h"

namespace replay {

std::string ReplayUsage() {
    return "usage: tradewire-replay [options] CAPTURE-FILE\n"
           "  --pace           dispatch one message per 30 ms of captured time, as the library\n"
           "                   does, and start each line with that time in milliseconds\n"
           "  --stores         print the data center's stores through the getters at the end\n"
           "  --only NAMES     print only these callbacks (comma-separated, e.g. OnErrorCode)\n"
           "  --skip NAMES     print all callbacks but these\n"
           "  --brief          one short line per callback: a quote as EURUSD 1.0851/1.0853,\n"
           "                   zero and empty fields left out, lists as their count and first\n"
           "                   records\n"
           "  --utc            times as UTC from the capture's start, with milliseconds; without\n"
           "                   --pace each line starts with its message's captured dispatch time\n"
           "  --orders         one line per committed order: commit, send, reply received,\n"
           "                   dispatched, the milliseconds between, and the outcome\n"
           "  --summary        messages by code and callbacks by name, deals, orders, refusals\n"
           "                   and the receive-to-dispatch delay\n"
           "  --script         a tradewire-term script that repeats the session's requests with\n"
           "                   their captured pauses, for tradewire-sim --replay of this capture\n"
           "exit status: 0 done, 1 not a capture, 2 unreadable, 3 the capture was cut short\n";
}

namespace {

// The capture file is the one argument that is not an option.
bool TakeReplayFlag(std::string_view name, ReplayOptions& options) {
    const std::pair<std::string_view, bool ReplayOptions::*> flags[] = {
        {"--pace", &ReplayOptions::pace},       {"--stores", &ReplayOptions::stores},
        {"--brief", &ReplayOptions::brief},     {"--utc", &ReplayOptions::utc},
        {"--summary", &ReplayOptions::summary}, {"--orders", &ReplayOptions::orders},
        {"--script", &ReplayOptions::script},
    };
    for (const auto& [flag, member] : flags) {
        if (name == flag) {
            options.*member = true;
            return true;
        }
    }
    if (!name.empty() && name.front() != '-' && options.captureFile.empty()) {
        options.captureFile = name;
        return true;
    }
    return false;
}

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> list;
    size_t at = 0;
    while (at <= names.size()) {
        const size_t end = std::min(names.find(',', at), names.size());
        if (end > at) {
            list.push_back(names.substr(at, end - at));
        }
        at = end + 1;
    }
    return list;
}

tools::OptionResult TakeReplayOption(std::string_view name, const std::string& value,
                                     ReplayOptions& options, std::string& /*message*/) {
    if (name != "--only" && name != "--skip") {
        return tools::OptionResult::kUnknown;
    }
    std::vector<std::string> names = SplitNames(value);
    if (names.empty()) {
        return tools::OptionResult::kBadValue;
    }
    (name == "--only" ? options.only : options.skip) = std::move(names);
    return tools::OptionResult::kTaken;
}

}  // namespace

bool ParseReplayOptions(int argc, const char* const argv[], ReplayOptions& options,
                        std::string& message, bool& helpAsked) {
    const tools::OptionSet set =
        tools::MakeOptionSet(ReplayUsage(), options, TakeReplayFlag, TakeReplayOption);
    if (!tools::ParseCommandLine(argc, argv, set, message, helpAsked)) {
        return false;
    }
    if (options.captureFile.empty()) {
        message = "no capture file given\n" + ReplayUsage();
        return false;
    }
    return true;
}

}  // namespace replay
