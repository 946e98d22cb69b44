#include "SimOptions.h"

#include <cstdlib>
#include <string_view>

#include "CommandLine.h"

namespace sim {

namespace {

bool ParseNumber(std::string_view text, double& value) {
    const std::string copy(text);
    char* end = nullptr;
    value = std::strtod(copy.c_str(), &end);
    return !copy.empty() && end != nullptr && *end == '\0';
}

bool ParseAccount(std::string_view text, AccountSetup& setup) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size()) {
        return false;
    }
    setup.user = text.substr(0, colon);
    std::string_view rest = text.substr(colon + 1);
    const size_t second = rest.find(':');
    setup.password = rest.substr(0, second);
    if (second == std::string_view::npos) {
        return true;
    }
    return ParseNumber(rest.substr(second + 1), setup.balance) && setup.balance >= 0;
}

constexpr tools::TextOption<SimOptions> kSimTextOptions[] = {
    {"--frame-log", &SimOptions::frameLog}, {"--cert", &SimOptions::certFile},
    {"--key", &SimOptions::keyFile},        {"--port-file", &SimOptions::portFile},
    {"--pin-file", &SimOptions::pinFile},
};

constexpr tools::FlagOption<SimOptions> kSimFlags[] = {{"--quiet", &SimOptions::quiet}};

bool TakeSimFlag(std::string_view name, SimOptions& options) {
    return tools::TakeFlagOption(kSimFlags, name, options);
}

tools::OptionResult TakeSimOption(std::string_view name, std::string_view value,
                                  SimOptions& options, std::string& /*message*/) {
    double number = 0;
    bool ok = true;
    if (name == "--port") {
        ok = ParseNumber(value, number) && number >= 0 && number <= 65535;
        options.port = static_cast<std::uint16_t>(number);
    } else if (name == "--seed") {
        ok = ParseNumber(value, number) && number >= 0;
        options.seed = static_cast<std::uint64_t>(number);
    } else if (name == "--tick-rate") {
        ok = ParseNumber(value, number) && number > 0 && number <= 1000;
        options.tickRate = number;
    } else if (name == "--notice-every") {
        ok = ParseNumber(value, number) && number >= 0;
        options.noticeSeconds = number;
    } else if (name == "--account") {
        AccountSetup setup;
        ok = ParseAccount(value, setup);
        options.accounts.push_back(setup);
    } else if (name == "--replay" || name == "--replay-fast") {
        options.replayFile = value;
        options.replayFast = name == "--replay-fast";
    } else if (!tools::TakeTextOption(kSimTextOptions, name, value, options)) {
        return tools::OptionResult::kUnknown;
    }
    return ok ? tools::OptionResult::kTaken : tools::OptionResult::kBadValue;
}

}  // namespace

std::vector<AccountSetup> DefaultAccounts() {
    return {{"demo", "demo", 10000}, {"alice", "alice", 25000}, {"bob", "bob", 5000}};
}

std::string SimUsage() {
    return "usage: tradewire-sim [options]\n"
           "  --port N            port on 127.0.0.1 (default 0: a free one, printed)\n"
           "  --port-file FILE    also write the port to FILE\n"
           "  --pin-file FILE     write the certificate's public-key pin (SHA-256, hex) to FILE\n"
           "  --seed N            seed of the price walk (default 1)\n"
           "  --tick-rate R       quote messages a second (default 5)\n"
           "  --notice-every S    seconds between text notices, 0 for none (default 10)\n"
           "  --frame-log FILE    log every frame in and out\n"
           "  --cert FILE --key FILE   PEM certificate and key (default: self-signed)\n"
           "  --account USER:PASSWORD[:BALANCE]   serve this account (repeatable; default\n"
           "                      demo:demo, alice:alice, bob:bob)\n"
           "  --quiet             no connection messages on standard output\n"
           "  --replay FILE       answer the first login with the bytes a library capture\n"
           "                      received, with their timing; no ticks, no order handling;\n"
           "                      each captured answer waits for the client's request\n"
           "  --replay-fast FILE  the same, all at once\n";
}

bool ParseSimOptions(int argc, const char* const argv[], SimOptions& options, std::string& message,
                     bool& helpAsked) {
    const tools::OptionSet set =
        tools::MakeOptionSet(SimUsage(), options, TakeSimFlag, TakeSimOption);
    if (!tools::ParseCommandLine(argc, argv, set, message, helpAsked)) {
        return false;
    }
    if (options.accounts.empty()) {
        options.accounts = DefaultAccounts();
    }
    return true;
}

}  // namespace sim
