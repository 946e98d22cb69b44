// A stand-in program for the process and launch tests: "sleep" waits to be killed, "map <file>"
// maps the file and then waits, "record <file>" writes its working folder and command line.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "core/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/PathEncoding.h"

using namespace kestrel::core;

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "record") == 0) {
        // Written under another name first, so a reader never sees half a record.
        const std::string target = argv[2];
        const std::string temporary = target + ".part";
        {
            std::ofstream out(temporary, std::ios::binary);
            out << kestrel::platform::ToSystemBytes(kestrel::platform::GetCurrentFolder()) << '\n'
                << kestrel::platform::ToSystemBytes(GetProcessCommandLine()) << '\n';
        }
        return std::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "map") == 0) {
        // Loads a file the way a library is loaded: mapped, with no descriptor kept open.
        const int fd = ::open(argv[2], O_RDONLY);
        if (fd < 0 || ::mmap(nullptr, 1, PROT_READ, MAP_PRIVATE, fd, 0) == MAP_FAILED) {
            return 3;
        }
        ::close(fd);
    }
    if (argc >= 2 && (std::strcmp(argv[1], "sleep") == 0 || std::strcmp(argv[1], "map") == 0)) {
        // The test kills us; the limit only keeps a crashed test from leaving us behind.
        for (int i = 0; i < 600; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return 0;
    }
    return 2;
}
