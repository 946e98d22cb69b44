#include "CommandLine.h"

#include <cstdio>

namespace tools {

bool ParseCommandLine(int argc, const char* const argv[], const OptionSet& options,
                      std::string& message, bool& helpAsked) {
    helpAsked = false;
    for (int index = 1; index < argc; ++index) {
        const std::string_view name = argv[index];
        if (name == "--help" || name == "-h") {
            helpAsked = true;
            message = options.usage;
            return false;
        }
        if (options.takeFlag(name)) {
            continue;
        }
        if (index + 1 >= argc) {
            // Asked with no value, only to learn whether the tool knows the name at all: the
            // parse fails either way, so whatever the empty value set is never used.
            std::string ignored;
            message = options.takeValue(name, std::string(), ignored) == OptionResult::kUnknown
                          ? "unknown option " + std::string(name) + "\n" + options.usage
                          : "missing value after " + std::string(name);
            return false;
        }
        const std::string value = argv[++index];
        std::string explanation;
        switch (options.takeValue(name, value, explanation)) {
            case OptionResult::kTaken:
                continue;
            case OptionResult::kUnknown:
                message = "unknown option " + std::string(name) + "\n" + options.usage;
                return false;
            case OptionResult::kBadValue:
                message = explanation.empty() ? "bad value for " + std::string(name) + ": " + value
                                              : explanation;
                return false;
        }
    }
    return true;
}

int CommandLineExit(const std::string& message, bool helpAsked) {
    (void)std::fprintf(helpAsked ? stdout : stderr, "%s\n", message.c_str());
    return helpAsked ? 0 : 2;
}

}  // namespace tools
