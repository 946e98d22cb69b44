// tradewire-term: a console trading terminal on the Tradewire library.

#include <tradewire/Tradewire.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>

#include "CommandLine.h"
#include "ServerOptionChecks.h"
#include "Terminal.h"
#include "TerminalSink.h"
#include "TextOut.h"

namespace {

int RunSession(CAbsForexManager& manager, term::TerminalSink& sink,
               const term::TermOptions& options) {
    term::Terminal terminal(manager, sink, options);
    if (!terminal.Connect()) {
        return 1;
    }
    if (!terminal.Login()) {
        terminal.Finish();
        return 1;
    }
    terminal.ShowOverview();
    if (!options.script.empty()) {
        std::ifstream script(options.script);
        std::string line;
        while (std::getline(script, line)) {
            if (options.echo && line.find_first_not_of(" \t") != std::string::npos &&
                line[line.find_first_not_of(" \t")] != '#') {
                term::PrintLine("> " + line);
            }
            if (!terminal.RunLine(line)) {
                break;
            }
        }
    } else {
        const bool prompt = isatty(STDIN_FILENO) != 0;
        term::PrintLine("Type help for the commands.");
        std::string line;
        while ((prompt ? (std::cout << "> " << std::flush, true) : true) &&
               std::getline(std::cin, line)) {
            if (!terminal.RunLine(line)) {
                break;
            }
        }
    }
    terminal.Finish();
    return 0;
}

// The library reads its server checks from the environment at every connection attempt.
void ExportServerChecks(const term::TermOptions& options) {
    const std::pair<const char*, const std::string*> settings[] = {
        {"TRADEWIRE_CA_FILE", &options.caFile},
        {"TRADEWIRE_SERVER_NAME", &options.serverName},
        {"TRADEWIRE_PIN_SHA256", &options.pin},
    };
    for (const auto& [name, value] : settings) {
        if (!value->empty()) {
            ::setenv(name, value->c_str(), 1);
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    term::TermOptions options;
    if (const auto status = tools::ReadCommandLine(argc, argv, term::ParseTermOptions, options)) {
        return *status;
    }
    if (!options.script.empty() && !std::ifstream(options.script)) {
        (void)std::fprintf(stderr, "cannot read the script %s\n", options.script.c_str());
        return 2;
    }
    if (!options.caFile.empty()) {
        const std::string problem = term::CaFileProblem(options.caFile);
        if (!problem.empty()) {
            (void)std::fprintf(stderr, "%s\n", problem.c_str());
            return 2;
        }
    }
    ExportServerChecks(options);
    // Read by the library at every ConnectServer, like the capture folder below.
    if (!options.pace.empty() && setenv("TRADEWIRE_PACE", options.pace.c_str(), 1) != 0) {
        (void)std::fprintf(stderr, "cannot set TRADEWIRE_PACE\n");
        return 2;
    }
    // Read by the library at every ConnectServer.
    if (!options.captureDir.empty() &&
        setenv("TRADEWIRE_CAPTURE_DIR", options.captureDir.c_str(), 1) != 0) {
        (void)std::fprintf(stderr, "cannot set TRADEWIRE_CAPTURE_DIR\n");
        return 2;
    }
    CAbsForexManager* manager = GetAbsTradewire();
    if (manager == nullptr) {
        (void)std::fprintf(stderr, "the library could not make a connection object\n");
        return 1;
    }
    term::TerminalSink sink;
    sink.SetDataCenter(manager->GetDataCenter());
    manager->SetNotify(&sink);
    const int status = RunSession(*manager, sink, options);
    manager->UnSetNotify();
    manager->ReleaseObj();
    return status;
}
