// Stand-in for Osprey.exe in Kestrel's end-to-end tests.
//
// With OSPREY_STANDIN_STAY=<stop file> in its environment it writes "<stop file>.ready" and then
// stays alive until the stop file exists (at most two minutes), like an Osprey that is about to
// exit. Without it, it is a restarted Osprey: it writes its working folder and then each of its
// arguments, one per line, to osprey-launch.txt beside its own executable, and exits.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

int Stay(const std::string& stopFile) {
    std::ofstream(stopFile + ".ready") << getpid() << '\n';
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!fs::exists(stopFile) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

int Record(int argc, char** argv) {
    const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path temporary = folder / "osprey-launch.tmp";
    {
        std::ofstream out(temporary);
        out << fs::current_path().string() << '\n';
        for (int i = 1; i < argc; ++i) {
            out << argv[i] << '\n';
        }
    }
    // Appears whole or not at all, so the test never reads half a record.
    fs::rename(temporary, folder / "osprey-launch.txt");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* stopFile = std::getenv("OSPREY_STANDIN_STAY");
    if (stopFile != nullptr && *stopFile != '\0') {
        return Stay(stopFile);
    }
    return Record(argc, argv);
}
