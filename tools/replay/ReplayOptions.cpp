#include "ReplayOptions.h"

#include <string_view>

#include "CommandLine.h"

namespace replay {

std::string ReplayUsage() {
    return "usage: tradewire-replay [options] CAPTURE-FILE\n"
           "  --pace     dispatch one message per 30 ms of captured time, as the library does,\n"
           "             and start each line with that time in milliseconds\n"
           "  --stores   print the data center's stores through the getters at the end\n"
           "exit status: 0 done, 1 not a capture, 2 unreadable, 3 the capture was cut short\n";
}

namespace {

// The capture file is the one argument that is not an option.
bool TakeReplayFlag(std::string_view name, ReplayOptions& options) {
    if (name == "--pace") {
        options.pace = true;
        return true;
    }
    if (name == "--stores") {
        options.stores = true;
        return true;
    }
    if (!name.empty() && name.front() != '-' && options.captureFile.empty()) {
        options.captureFile = name;
        return true;
    }
    return false;
}

}  // namespace

bool ParseReplayOptions(int argc, const char* const argv[], ReplayOptions& options,
                        std::string& message, bool& helpAsked) {
    const tools::OptionSet set{
        .usage = ReplayUsage(),
        .takeFlag = [&options](std::string_view name) { return TakeReplayFlag(name, options); },
        .takeValue = [](std::string_view, const std::string&,
                        std::string&) { return tools::OptionResult::kUnknown; }};
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
