#pragma once
// Reads one command line of the terminal into a Command, or explains what is wrong with it.
// Pure text work: nothing here knows about the connection.

#include <string>
#include <string_view>

namespace term {

enum class CommandKind {
    Nothing,  // an empty line or a comment
    Help,
    Account,
    Instruments,
    Quotes,
    Ticks,
    Buy,
    Sell,
    Close,
    Pending,
    Modify,
    Delete,
    Trigger,
    History,
    Orders,
    Positions,
    Wait,
    Latency,
    Logout,
    Quit,
};

struct Command {
    CommandKind kind = CommandKind::Nothing;
    std::string symbol;
    int pendingKind = 0;  // 64 buy limit, 65 sell limit, 66 buy stop, 67 sell stop
    int lotsHundredths = 0;
    double price = 0;
    double stopLoss = 0;  // 0: none
    double takeProfit = 0;
    int number = 0;        // a position's or an order's number
    bool useLast = false;  // "last" instead of a number
    double seconds = 0;
    int count = 0;
    int days = 1;
};

struct ParsedCommand {
    bool ok = false;
    Command command;
    std::string error;
};

ParsedCommand ParseCommand(std::string_view line);

// The help text listing every command.
std::string CommandHelp();

}  // namespace term
