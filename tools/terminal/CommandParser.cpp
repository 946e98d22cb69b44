#include "CommandParser.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "vocabulary/WireVocabulary.h"

namespace term {

namespace {

constexpr int kMaxLotsHundredths = 10000;

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : line) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!word.empty()) {
                words.push_back(word);
                word.clear();
            }
            continue;
        }
        word += c;
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

bool ReadNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0' && std::isfinite(value);
}

ParsedCommand Fail(std::string error) {
    ParsedCommand parsed;
    parsed.error = std::move(error);
    return parsed;
}

ParsedCommand Ok(Command command) {
    ParsedCommand parsed;
    parsed.ok = true;
    parsed.command = std::move(command);
    return parsed;
}

// Lots in hundredths, so 0.1 and 0.10 are the same and 0.125 is refused.
bool ReadLots(const std::string& text, int& hundredths, std::string& error) {
    double lots = 0;
    if (!ReadNumber(text, lots) || lots <= 0) {
        error = "lots must be a positive number such as 0.10, not '" + text + "'";
        return false;
    }
    const double scaled = lots * tradewire::kHundredthsPerLot;
    if (std::fabs(scaled - std::round(scaled)) > 1e-6) {
        error = "lots come in steps of 0.01, not '" + text + "'";
        return false;
    }
    if (scaled > kMaxLotsHundredths) {
        error = "at most 100 lots per order";
        return false;
    }
    hundredths = static_cast<int>(std::lround(scaled));
    return true;
}

bool ReadPrice(const std::string& text, double& price, std::string& error) {
    if (!ReadNumber(text, price) || price <= 0) {
        error = "a price must be a positive number such as 1.0850, not '" + text + "'";
        return false;
    }
    return true;
}

// A position or order number, or "last".
bool ReadTarget(const std::string& text, Command& command, std::string& error) {
    if (Lower(text) == "last") {
        command.useLast = true;
        return true;
    }
    double number = 0;
    if (!ReadNumber(text, number) || number <= 0 || number != std::floor(number) ||
        number > 2147483647.0) {
        error = "expected a number or 'last', not '" + text + "'";
        return false;
    }
    command.number = static_cast<int>(number);
    return true;
}

// "sl PRICE" and "tp PRICE" in any order, from position `from` on.
bool ReadTriggers(const std::vector<std::string>& words, size_t from, Command& command,
                  std::string& error) {
    for (size_t index = from; index < words.size(); index += 2) {
        const std::string key = Lower(words[index]);
        if (key != "sl" && key != "tp") {
            error = "expected 'sl PRICE' or 'tp PRICE', not '" + words[index] + "'";
            return false;
        }
        if (index + 1 >= words.size()) {
            error = "'" + key + "' needs a price";
            return false;
        }
        double& target = key == "sl" ? command.stopLoss : command.takeProfit;
        if (!ReadPrice(words[index + 1], target, error)) {
            return false;
        }
    }
    return true;
}

ParsedCommand ParseMarket(CommandKind kind, const std::vector<std::string>& words) {
    if (words.size() < 3) {
        return Fail("usage: " + words[0] + " SYMBOL LOTS [sl PRICE] [tp PRICE]");
    }
    Command command;
    command.kind = kind;
    command.symbol = Upper(words[1]);
    std::string error;
    if (!ReadLots(words[2], command.lotsHundredths, error) ||
        !ReadTriggers(words, 3, command, error)) {
        return Fail(error);
    }
    return Ok(command);
}

ParsedCommand ParseClose(const std::vector<std::string>& words) {
    if (words.size() < 2 || words.size() > 3) {
        return Fail("usage: close POSITION|last [LOTS]");
    }
    Command command;
    command.kind = CommandKind::Close;
    std::string error;
    if (!ReadTarget(words[1], command, error) ||
        (words.size() == 3 && !ReadLots(words[2], command.lotsHundredths, error))) {
        return Fail(error);
    }
    return Ok(command);
}

ParsedCommand ParsePending(const std::vector<std::string>& words) {
    static const std::map<std::string, int> kinds = {{"buy-limit", tradewire::kBuyLimit},
                                                     {"sell-limit", tradewire::kSellLimit},
                                                     {"buy-stop", tradewire::kBuyStop},
                                                     {"sell-stop", tradewire::kSellStop}};
    if (words.size() < 5) {
        return Fail(
            "usage: pending buy-limit|sell-limit|buy-stop|sell-stop SYMBOL LOTS PRICE "
            "[sl PRICE] [tp PRICE]");
    }
    const auto kind = kinds.find(Lower(words[1]));
    if (kind == kinds.end()) {
        return Fail("the order type is buy-limit, sell-limit, buy-stop or sell-stop, not '" +
                    words[1] + "'");
    }
    Command command;
    command.kind = CommandKind::Pending;
    command.pendingKind = kind->second;
    command.symbol = Upper(words[2]);
    std::string error;
    if (!ReadLots(words[3], command.lotsHundredths, error) ||
        !ReadPrice(words[4], command.price, error) || !ReadTriggers(words, 5, command, error)) {
        return Fail(error);
    }
    return Ok(command);
}

ParsedCommand ParseModify(const std::vector<std::string>& words) {
    if (words.size() < 3) {
        return Fail("usage: modify ORDER|last PRICE [sl PRICE] [tp PRICE]");
    }
    Command command;
    command.kind = CommandKind::Modify;
    std::string error;
    if (!ReadTarget(words[1], command, error) || !ReadPrice(words[2], command.price, error) ||
        !ReadTriggers(words, 3, command, error)) {
        return Fail(error);
    }
    return Ok(command);
}

ParsedCommand ParseTargetOnly(CommandKind kind, const std::vector<std::string>& words,
                              const char* usage) {
    if (words.size() != 2) {
        return Fail(usage);
    }
    Command command;
    command.kind = kind;
    std::string error;
    if (!ReadTarget(words[1], command, error)) {
        return Fail(error);
    }
    return Ok(command);
}

// trigger POSITION|last SL TP, where 0 clears one.
ParsedCommand ParseTrigger(const std::vector<std::string>& words) {
    if (words.size() != 4) {
        return Fail("usage: trigger POSITION|last STOP-LOSS TAKE-PROFIT (0 for none)");
    }
    Command command;
    command.kind = CommandKind::Trigger;
    std::string error;
    if (!ReadTarget(words[1], command, error)) {
        return Fail(error);
    }
    if (!ReadNumber(words[2], command.stopLoss) || command.stopLoss < 0 ||
        !ReadNumber(words[3], command.takeProfit) || command.takeProfit < 0) {
        return Fail("trigger prices are numbers such as 1.0800, or 0 for none");
    }
    return Ok(command);
}

// A command with one optional positive count (ticks N, history DAYS, latency N, wait S).
ParsedCommand ParseCounted(CommandKind kind, const std::vector<std::string>& words, double fallback,
                           const char* usage) {
    if (words.size() > 2) {
        return Fail(usage);
    }
    double value = fallback;
    if (words.size() == 2 && (!ReadNumber(words[1], value) || value <= 0)) {
        return Fail(usage);
    }
    Command command;
    command.kind = kind;
    command.seconds = value;
    command.count = static_cast<int>(value);
    command.days = static_cast<int>(value);
    if (kind != CommandKind::Wait && (value != std::floor(value) || value > 1e6)) {
        return Fail(usage);
    }
    return Ok(command);
}

}  // namespace

ParsedCommand ParseCommand(std::string_view line) {
    const size_t hash = line.find('#');
    const std::vector<std::string> words = Split(line.substr(0, hash));
    if (words.empty()) {
        return Ok(Command{});
    }
    const std::string verb = Lower(words[0]);
    static const std::map<std::string, CommandKind> simple = {
        {"help", CommandKind::Help},
        {"account", CommandKind::Account},
        {"instruments", CommandKind::Instruments},
        {"quotes", CommandKind::Quotes},
        {"orders", CommandKind::Orders},
        {"positions", CommandKind::Positions},
        {"logout", CommandKind::Logout},
        {"quit", CommandKind::Quit},
        {"exit", CommandKind::Quit},
    };
    if (const auto found = simple.find(verb); found != simple.end()) {
        if (words.size() != 1) {
            return Fail("'" + verb + "' takes no arguments");
        }
        Command command;
        command.kind = found->second;
        return Ok(command);
    }
    if (verb == "buy") {
        return ParseMarket(CommandKind::Buy, words);
    }
    if (verb == "sell") {
        return ParseMarket(CommandKind::Sell, words);
    }
    if (verb == "close") {
        return ParseClose(words);
    }
    if (verb == "pending") {
        return ParsePending(words);
    }
    if (verb == "modify") {
        return ParseModify(words);
    }
    if (verb == "delete") {
        return ParseTargetOnly(CommandKind::Delete, words, "usage: delete ORDER|last");
    }
    if (verb == "trigger") {
        return ParseTrigger(words);
    }
    if (verb == "history") {
        return ParseCounted(CommandKind::History, words, 1, "usage: history [DAYS]");
    }
    if (verb == "ticks") {
        return ParseCounted(CommandKind::Ticks, words, 5, "usage: ticks [COUNT]");
    }
    if (verb == "latency") {
        return ParseCounted(CommandKind::Latency, words, 200, "usage: latency [QUOTES]");
    }
    if (verb == "wait") {
        return ParseCounted(CommandKind::Wait, words, 1, "usage: wait SECONDS");
    }
    return Fail("unknown command '" + words[0] + "'; type help for the list");
}

std::string CommandHelp() {
    return "commands:\n"
           "  account | instruments | quotes | positions | orders\n"
           "  ticks [N]                          show the next N quote ticks\n"
           "  buy|sell SYMBOL LOTS [sl P] [tp P] open a position at market\n"
           "  close POSITION|last [LOTS]         close all or part of a position\n"
           "  trigger POSITION|last SL TP        set stop loss and take profit (0: none)\n"
           "  pending buy-limit|sell-limit|buy-stop|sell-stop SYMBOL LOTS PRICE [sl P] [tp P]\n"
           "  modify ORDER|last PRICE [sl P] [tp P]   change a pending order\n"
           "  delete ORDER|last                  delete a pending order\n"
           "  history [DAYS]                     closed deals of the last DAYS days\n"
           "  latency [N]                        measure quote latency over N quotes\n"
           "  wait SECONDS | logout | quit\n";
}

}  // namespace term
