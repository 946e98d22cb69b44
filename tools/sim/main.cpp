// tradewire-sim: serves simulated trading accounts over TLS on 127.0.0.1 until SIGINT or
// SIGTERM.

#include <signal.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "CommandLine.h"
#include "SimServer.h"

namespace {

sim::SimServer* g_server = nullptr;

void OnSignal(int) {
    if (g_server != nullptr) {
        g_server->Stop();  // only sets an atomic flag
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    sim::SimOptions options;
    if (const auto status = tools::ReadCommandLine(argc, argv, sim::ParseSimOptions, options)) {
        return *status;
    }
    (void)signal(SIGPIPE, SIG_IGN);

    sim::SimServer server(options);
    std::string error;
    if (!server.Start(error)) {
        (void)std::fprintf(stderr, "tradewire-sim: %s\n", error.c_str());
        return 1;
    }
    // The pin before the port: a script that waits for the port file finds both.
    if (!options.pinFile.empty()) {
        std::ofstream(options.pinFile) << server.PublicKeyPin() << "\n";
    }
    if (!options.portFile.empty()) {
        std::ofstream(options.portFile) << server.Port() << "\n";
    }
    if (server.Replay().IsLoaded()) {
        // A replay sends no quotes of its own: say what it serves instead of a tick rate.
        const sim::ReplayFeed& replay = server.Replay();
        std::printf(
            "tradewire-sim: listening on 127.0.0.1:%u, replaying %s (%d login%s, %zu "
            "chunks over %.1f s%s) to the first client that logs in\n",
            static_cast<unsigned>(server.Port()), options.replayFile.c_str(), replay.LoginCount(),
            replay.LoginCount() == 1 ? "" : "s", replay.ChunkCount(), replay.DurationMs() / 1000.0,
            options.replayFast ? ", all at once" : "");
    } else {
        std::printf("tradewire-sim: listening on 127.0.0.1:%u (seed %llu, %.1f quote messages/s)\n",
                    static_cast<unsigned>(server.Port()),
                    static_cast<unsigned long long>(options.seed), options.tickRate);
    }
    (void)std::fflush(stdout);

    g_server = &server;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    server.Run();
    g_server = nullptr;
    std::printf("tradewire-sim: stopped\n");
    return 0;
}
