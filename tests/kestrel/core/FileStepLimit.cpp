#include "FileStepLimit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>

extern "C" {
int __real_open(const char* path, int flags, ...);
ssize_t __real_write(int fd, const void* data, size_t size);
int __real_fchmod(int fd, mode_t mode);
int __real_mkdir(const char* path, mode_t mode);
int __real_rename(const char* from, const char* to);
int __real_unlink(const char* path);
}

namespace {

constexpr int kStoppedStatus = 77;

// Only the forked child ever sets the limit; the parent's calls pass straight through.
int g_stepsLeft = 0;

void CountStep() {
    if (g_stepsLeft > 0 && --g_stepsLeft == 0) {
        ::_exit(kStoppedStatus);
    }
}

}  // namespace

extern "C" {

int __wrap_open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & (O_CREAT | O_TMPFILE)) != 0) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, unsigned));
        va_end(arguments);
    }
    const int result = __real_open(path, flags, mode);
    CountStep();
    return result;
}

ssize_t __wrap_write(int fd, const void* data, size_t size) {
    const ssize_t result = __real_write(fd, data, size);
    CountStep();
    return result;
}

int __wrap_fchmod(int fd, mode_t mode) {
    const int result = __real_fchmod(fd, mode);
    CountStep();
    return result;
}

int __wrap_mkdir(const char* path, mode_t mode) {
    const int result = __real_mkdir(path, mode);
    CountStep();
    return result;
}

int __wrap_rename(const char* from, const char* to) {
    const int result = __real_rename(from, to);
    CountStep();
    return result;
}

int __wrap_unlink(const char* path) {
    const int result = __real_unlink(path);
    CountStep();
    return result;
}

}  // extern "C"

bool RunStoppedAfterFileSteps(int steps, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        g_stepsLeft = steps;
        work();
        ::_exit(0);
    }
    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    return waited == child && WIFEXITED(status) && WEXITSTATUS(status) == kStoppedStatus;
}
