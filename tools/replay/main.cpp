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

void PrintStores(CForexDataCenter& center, CCallbackPrinter& printer) {
    printer.SetPrefix("");
    PrintLine("# stores");
    CAccountInfo account;
    center.GetAccountInfo(account);
    printer.OnAccountInfo(account);
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    PrintLine(CCallbackPrinter::ListLines("GetForexMerchs", merchs));
    CCurrencyArray currencys;
    center.GetCurrencysInfo(currencys);
    PrintLine(CCallbackPrinter::ListLines("GetCurrencysInfo", currencys));
    CBargainArray bargains;
    center.GetBargainsInfo(bargains);
    PrintLine(CCallbackPrinter::ListLines("GetBargainsInfo", bargains));
    COrderInfoArray orders;
    center.GetOrdersInfo(orders);
    PrintLine(CCallbackPrinter::ListLines("GetOrdersInfo", orders));
    CHistoryOrderInfoArray history;
    center.GetHistoryOrderInfo(history);
    PrintLine(CCallbackPrinter::ListLines("GetHistoryOrderInfo", history));
    std::string single = "GetGroupInfo";
    CGroup group;
    center.GetGroupInfo(group);
    RecordText::Append(single, group);
    PrintLine(single);
    single = "GetBaseInfo";
    CBaseInfo base;
    center.GetBaseInfo(base);
    RecordText::Append(single, base);
    PrintLine(single);
    single = "GetBroadCast";
    CBroadCast broadCast;
    center.GetBroadCast(broadCast);
    RecordText::Append(single, broadCast);
    PrintLine(single);
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
               [&printer](std::uint32_t ms) { printer.SetPrefix(std::to_string(ms) + " "); });
    if (options.stores && replay.GetDataCenter() != nullptr) {
        PrintStores(*replay.GetDataCenter(), printer);
    }
    std::cout.flush();
    return 0;
}
