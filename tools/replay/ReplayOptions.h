#pragma once
// The replay tool's command line: tradewire-replay [options] <capture-file> (ReplayUsage).

#include <string>
#include <vector>

namespace replay {

struct ReplayOptions {
    std::string captureFile;
    bool pace = false;    // one pass every 30 ms of captured time, each line led by that time
    bool stores = false;  // print the stores through the getters at the end
    std::vector<std::string> only;  // callback names to print, all when empty
    std::vector<std::string> skip;  // callback names not to print
    bool brief = false;             // one short line per callback
    bool utc = false;               // times as UTC from the capture's start, with milliseconds
    bool summary = false;           // a summary block instead of the callbacks
    bool orders = false;            // one line per committed order instead of the callbacks
    bool script = false;  // the terminal commands that repeat the session's requests instead
};

// On --help returns false with the usage in message and helpAsked set.
bool ParseReplayOptions(int argc, const char* const argv[], ReplayOptions& options,
                        std::string& message, bool& helpAsked);
std::string ReplayUsage();

}  // namespace replay
