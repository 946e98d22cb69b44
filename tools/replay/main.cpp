// tradewire-replay: feeds a capture file into the library's protocol object and data center,
// with no network and no threads, and prints one line per callback (README, "Capture and
// replay"). Two library versions replaying the same capture can be compared with diff.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "CallbackPrinter.h"
#include "CommandLine.h"
#include "ReplayOptions.h"
#include "protocol/CaptureReplay.h"

namespace {

void PrintLine(const std::string& line) {
    std::cout << line << '\n';
}

// One store read through its getter: a list as "NAME n=COUNT" and its records, a single record
// as "NAME" and its fields.
template <class Record>
std::string StoreText(const char* name, const CArray<Record, Record&>& records) {
    return CCallbackPrinter::ListLines(name, records);
}
template <class Record>
std::string StoreText(const char* name, const Record& record) {
    std::string text = name;
    RecordText::Append(text, record);
    return text;
}

template <class Store>
void PrintStore(CForexDataCenter& center, void (CForexDataCenter::*get)(Store&), const char* name) {
    Store store;
    (center.*get)(store);
    PrintLine(StoreText(name, store));
}

void PrintStores(CForexDataCenter& center, CCallbackPrinter& printer) {
    printer.SetPrefix("");
    PrintLine("# stores");
    CAccountInfo account;
    center.GetAccountInfo(account);
    printer.OnAccountInfo(account);
    PrintStore(center, &CForexDataCenter::GetForexMerchs, "GetForexMerchs");
    PrintStore(center, &CForexDataCenter::GetCurrencysInfo, "GetCurrencysInfo");
    PrintStore(center, &CForexDataCenter::GetBargainsInfo, "GetBargainsInfo");
    PrintStore(center, &CForexDataCenter::GetOrdersInfo, "GetOrdersInfo");
    PrintStore(center, &CForexDataCenter::GetHistoryOrderInfo, "GetHistoryOrderInfo");
    PrintStore(center, &CForexDataCenter::GetGroupInfo, "GetGroupInfo");
    PrintStore(center, &CForexDataCenter::GetBaseInfo, "GetBaseInfo");
    PrintStore(center, &CForexDataCenter::GetBroadCast, "GetBroadCast");
    PrintLine("GetErrorCode code=" + std::to_string(static_cast<int>(center.GetErrorCode())));
}

}  // namespace

int main(int argc, char* argv[]) {
    replay::ReplayOptions options;
    if (const auto status =
            tools::ReadCommandLine(argc, argv, replay::ParseReplayOptions, options)) {
        return *status;
    }
    std::ifstream file(options.captureFile, std::ios::binary);
    if (!file) {
        (void)std::fprintf(stderr, "cannot read the capture %s\n", options.captureFile.c_str());
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    CCaptureReplay replay;
    std::string error;
    if (!replay.Load(text.str(), error)) {
        (void)std::fprintf(stderr, "%s: %s\n", options.captureFile.c_str(), error.c_str());
        return 1;
    }
    CCallbackPrinter printer(PrintLine);
    replay.Run(printer, options.pace,
               [&printer](std::uint64_t ms) { printer.SetPrefix(std::to_string(ms) + " "); });
    if (options.stores && replay.GetDataCenter() != nullptr) {
        PrintStores(*replay.GetDataCenter(), printer);
    }
    std::cout.flush();
    if (!replay.Closed()) {
        // Everything up to the cut has been printed; a script must still learn it was cut.
        (void)std::fprintf(stderr, "%s: the capture ends without its close record: cut short\n",
                           options.captureFile.c_str());
        return 3;
    }
    return 0;
}
