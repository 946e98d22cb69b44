#include "MemoryLimit.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TW_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TW_SANITIZED 1
#endif
#endif

namespace {

size_t AddressSpaceInUse() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

int RunUnderMemoryLimit(size_t headroom, int (*body)(void* context), void* context) {
#ifdef TW_SANITIZED
    (void)headroom;
    (void)body;
    (void)context;
    return -1;
#else
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        const size_t limit = AddressSpaceInUse() + headroom;
        const rlimit bound = {limit, limit};
        if (setrlimit(RLIMIT_AS, &bound) != 0) {
            _exit(254);
        }
        _exit(body(context));
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return 255;
    }
    return WEXITSTATUS(status);
#endif
}
