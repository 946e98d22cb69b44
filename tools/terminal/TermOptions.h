#pragma once
// The terminal's command line.

#include <cstdint>
#include <string>

namespace term {

struct TermOptions {
    std::string host = "127.0.0.1";  // an IPv4 address, as the library takes it
    std::uint16_t port = 0;
    std::string captureDir;  // set as TRADEWIRE_CAPTURE_DIR before connecting
    std::string pace;        // "paced" or "immediate", set as TRADEWIRE_PACE; empty: not set
    std::string user = "demo";
    std::string password = "demo";
    std::string script;  // empty: read commands from standard input
    bool echo = true;    // show each script command before running it
    // Server checks, handed to the library as TRADEWIRE_CA_FILE, TRADEWIRE_SERVER_NAME and
    // TRADEWIRE_PIN_SHA256; empty: not asked for.
    std::string caFile;
    std::string serverName;
    std::string pin;
};

// On --help returns false with the usage in message and helpAsked set.
bool ParseTermOptions(int argc, const char* const argv[], TermOptions& options,
                      std::string& message, bool& helpAsked);
std::string TermUsage();

}  // namespace term
