// A stand-in program for the process and launch tests.
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "core/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/PathEncoding.h"

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "record") == 0) {
        // Written under another name first, so a reader never sees half a record.
        const std::string target = argv[2];
        const std::string temporary = target + ".part";
        {
            std::ofstream out(temporary, std::ios::binary);
            out << KestrelOs::ToSystemBytes(KestrelOs::GetCurrentFolder()) << '\n'
                << KestrelOs::ToSystemBytes(GetProcessCommandLine()) << '\n';
        }
        return std::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "sleep") == 0) {
        // The test kills us; the limit only keeps a crashed test from leaving us behind.
        for (int i = 0; i < 600; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return 0;
    }
    return 2;
}
