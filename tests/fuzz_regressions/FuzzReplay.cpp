#include "FuzzReplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

void InitializeOnce() {
    static const bool initialized = [] {
        if (LLVMFuzzerInitialize != nullptr) {
            int argc = 0;
            char** argv = nullptr;
            LLVMFuzzerInitialize(&argc, &argv);
        }
        return true;
    }();
    (void)initialized;
}

}  // namespace

bool ReplayFile(const std::string& path) {
    InitializeOnce();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "cannot read " << path;
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    SCOPED_TRACE(path);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

size_t ReplayFolder(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) {
            paths.push_back(entry.path().string());
        }
    }
    if (paths.empty()) {
        ADD_FAILURE() << "no inputs in " << folder;
        return 0;
    }
    std::sort(paths.begin(), paths.end());
    size_t fed = 0;
    for (const std::string& path : paths) {
        fed += ReplayFile(path) ? 1 : 0;
    }
    return fed;
}

// FUZZ_SUITE names the target, so each test program's cases stay apart in ctest.
TEST(FUZZ_SUITE, EverySeedInputPassesTheTargetsChecks) {
    const size_t fed = ReplayFolder(FUZZ_SEEDS_DIR);
    EXPECT_GT(fed, 0U);
    std::printf("%zu seed inputs replayed from %s\n", fed, FUZZ_SEEDS_DIR);
}
