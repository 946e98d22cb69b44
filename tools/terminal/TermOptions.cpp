#include "TermOptions.h"

#include <cstdlib>
#include <string_view>

#include "CommandLine.h"
#include "ServerOptionChecks.h"

namespace term {

std::string TermUsage() {
    return "usage: tradewire-term --port N [options]\n"
           "  --port N           the server's port\n"
           "  --host ADDRESS     the server's dotted IPv4 address (default 127.0.0.1); no names\n"
           "  --user NAME        the account to log in to (default demo)\n"
           "  --password TEXT    its password (default demo)\n"
           "  --script FILE      run the commands in FILE, then quit\n"
           "  --no-echo          do not show script commands as they run\n"
           "  --capture DIR      write a capture of the session into DIR (see README)\n"
           "  --pace PACE        paced (the default: fixed passes) or immediate (callbacks as\n"
           "                     soon as a message is read)\n"
           "  --ca-file FILE     trust only servers whose certificate chains to FILE (PEM)\n"
           "                     and names the --host address (or --server-name)\n"
           "  --server-name NAME send NAME as SNI; with --ca-file, the name to check\n"
           "  --pin PINS         accept only these server keys: SHA-256 pins, comma-separated\n"
           "                     (64 hex digits or 44 characters of base64 each)\n"
           "Type help once connected for the commands.\n";
}

namespace {

constexpr tools::TextOption<TermOptions> kTermTextOptions[] = {
    {"--user", &TermOptions::user},
    {"--password", &TermOptions::password},
    {"--script", &TermOptions::script},
    {"--host", &TermOptions::host},
    {"--capture", &TermOptions::captureDir},
    {"--ca-file", &TermOptions::caFile},
    {"--server-name", &TermOptions::serverName},
    {"--pin", &TermOptions::pin},
};

constexpr tools::FlagOption<TermOptions> kTermFlags[] = {{"--no-echo", &TermOptions::echo, false}};

bool TakeTermFlag(std::string_view name, TermOptions& options) {
    return tools::TakeFlagOption(kTermFlags, name, options);
}

tools::OptionResult TakeTermOption(std::string_view name, const std::string& value,
                                   TermOptions& options, std::string& message) {
    if (name == "--port") {
        char* end = nullptr;
        const long port = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || port <= 0 || port > 65535) {
            message = "the port is a number from 1 to 65535, not '" + value + "'";
            return tools::OptionResult::kBadValue;
        }
        options.port = static_cast<std::uint16_t>(port);
    } else if (name == "--pace") {
        if (value != "paced" && value != "immediate") {
            message = "the pace is paced or immediate, not '" + value + "'";
            return tools::OptionResult::kBadValue;
        }
        options.pace = value;
    } else if (!tools::TakeTextOption(kTermTextOptions, name, value, options)) {
        return tools::OptionResult::kUnknown;
    }
    return tools::OptionResult::kTaken;
}

}  // namespace

bool ParseTermOptions(int argc, const char* const argv[], TermOptions& options,
                      std::string& message, bool& helpAsked) {
    const tools::OptionSet set =
        tools::MakeOptionSet(TermUsage(), options, TakeTermFlag, TakeTermOption);
    if (!tools::ParseCommandLine(argc, argv, set, message, helpAsked)) {
        return false;
    }
    if (options.port == 0) {
        message = "--port is required\n" + TermUsage();
        return false;
    }
    message = HostProblem(options.host);
    if (message.empty() && !options.pin.empty()) {
        message = PinProblem(options.pin);
    }
    if (!message.empty()) {
        return false;
    }
    if (options.user.empty() || options.password.empty()) {
        message = "the user name and the password must not be empty";
        return false;
    }
    return true;
}

}  // namespace term
