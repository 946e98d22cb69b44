#pragma once
// The replay tool's command line: tradewire-replay [--pace] [--stores] <capture-file>.

#include <string>

namespace replay {

struct ReplayOptions {
    std::string captureFile;
    bool pace = false;    // one pass every 30 ms of captured time, each line led by that time
    bool stores = false;  // print the stores through the getters at the end
};

// On --help returns false with the usage in message and helpAsked set.
bool ParseReplayOptions(int argc, const char* const argv[], ReplayOptions& options,
                        std::string& message, bool& helpAsked);
std::string ReplayUsage();

}  // namespace replay
