#pragma once
// The command line of the developer tools: `--name value` options, a few flags without a
// value, and --help (or -h). Stateless; any thread may call it.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tools {

// What a tool made of one `--name value` option.
enum class OptionResult { kTaken, kBadValue, kUnknown };

struct OptionSet {
    // Shown for --help and after an unknown option.
    std::string usage;
    // Takes `name` if it is one of the tool's flags; false when it is not a flag.
    std::function<bool(std::string_view name)> takeFlag;
    // Takes an option and its value. For kBadValue it may explain in `message`; left empty,
    // the value is named as bad.
    std::function<OptionResult(std::string_view name, const std::string& value,
                               std::string& message)>
        takeValue;
};

// Walks argv[1..] through `options`. Returns false with `message` set at the first bad
// argument, or with the usage in `message` and `helpAsked` set on --help.
bool ParseCommandLine(int argc, const char* const argv[], const OptionSet& options,
                      std::string& message, bool& helpAsked);

// An OptionSet over one tool's options: `takeFlag(name, options)` and
// `takeValue(name, value, options, message)` fill `options`, which must outlive the set.
template <typename Options, typename TakeFlag, typename TakeValue>
OptionSet MakeOptionSet(std::string usage, Options& options, TakeFlag takeFlag,
                        TakeValue takeValue) {
    return OptionSet{
        .usage = std::move(usage),
        .takeFlag = [&options, takeFlag](std::string_view name) { return takeFlag(name, options); },
        .takeValue =
            [&options, takeValue](std::string_view name, const std::string& value,
                                  std::string& message) {
                return takeValue(name, value, options, message);
            }};
}

// main's answer to a failed ParseCommandLine: the usage asked for goes to standard output with
// status 0, a mistake to standard error with status 2.
int CommandLineExit(const std::string& message, bool helpAsked);

template <typename Options>
using OptionsParser = bool (*)(int argc, const char* const argv[], Options& options,
                               std::string& message, bool& helpAsked);

// Fills `options` through `parse`; when that fails, reports it and gives the status main
// should return.
template <typename Options>
std::optional<int> ReadCommandLine(int argc, const char* const argv[], OptionsParser<Options> parse,
                                   Options& options) {
    std::string message;
    bool helpAsked = false;
    if (parse(argc, argv, options, message, helpAsked)) {
        return std::nullopt;
    }
    return CommandLineExit(message, helpAsked);
}

// An option whose value is kept as it is written.
template <typename Options>
struct TextOption {
    std::string_view name;
    std::string Options::*field;
};

// Stores `value` if `name` is in `table`; false when it is not.
template <typename Options, size_t N>
bool TakeTextOption(const TextOption<Options> (&table)[N], std::string_view name,
                    std::string_view value, Options& options) {
    for (const TextOption<Options>& option : table) {
        if (option.name == name) {
            options.*option.field = value;
            return true;
        }
    }
    return false;
}

// A flag: naming it sets `field` to `value`.
template <typename Options>
struct FlagOption {
    std::string_view name;
    bool Options::*field;
    bool value = true;
};

// Sets the flag if `name` is in `table`; false when it is not.
template <typename Options, size_t N>
bool TakeFlagOption(const FlagOption<Options> (&table)[N], std::string_view name,
                    Options& options) {
    for (const FlagOption<Options>& flag : table) {
        if (flag.name == name) {
            options.*flag.field = flag.value;
            return true;
        }
    }
    return false;
}

}  // namespace tools
