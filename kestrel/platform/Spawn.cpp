#include "platform/Spawn.h"

#include <spawn.h>
#include <sys/types.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileSystem.h"
#include "platform/PathEncoding.h"

extern char** environ;

namespace kestrel::platform {
namespace {

class CSpawnActions {
  public:
    CSpawnActions() { m_ok = ::posix_spawn_file_actions_init(&m_actions) == 0; }
    ~CSpawnActions() {
        if (m_ok) {
            ::posix_spawn_file_actions_destroy(&m_actions);
        }
    }
    CSpawnActions(const CSpawnActions&) = delete;
    CSpawnActions& operator=(const CSpawnActions&) = delete;

    bool IsReady() const { return m_ok; }
    posix_spawn_file_actions_t* Get() { return &m_actions; }

  private:
    posix_spawn_file_actions_t m_actions{};
    bool m_ok = false;
};

std::string AbsoluteProgramPath(const std::wstring& program) {
    std::string path = ToSystemPath(program);
    if (!path.empty() && path.front() != '/') {
        std::string current = ToSystemPath(GetCurrentFolder());
        if (!current.empty() && current.back() != '/') {
            current += '/';
        }
        path = current + path;
    }
    return path;
}

}  // namespace

bool SpawnProgram(const std::wstring& program, const std::vector<std::wstring>& args,
                  const std::wstring& workingFolder, int* childPid) {
    const std::string path = AbsoluteProgramPath(program);
    const std::string folder = ToSystemPath(workingFolder);
    std::vector<std::string> argStrings;
    argStrings.reserve(args.size());
    for (const std::wstring& arg : args) {
        argStrings.push_back(ToSystemBytes(arg));
    }
    std::vector<char*> argv;
    argv.reserve(argStrings.size() + 1);
    for (std::string& arg : argStrings) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    CSpawnActions actions;
    if (!actions.IsReady()) {
        return false;
    }
    if (!folder.empty() && ::posix_spawn_file_actions_addchdir_np(actions.Get(), folder.c_str())) {
        return false;
    }
    // Windows children inherit no handles unless asked; keep only the standard streams.
    if (::posix_spawn_file_actions_addclosefrom_np(actions.Get(), STDERR_FILENO + 1) != 0) {
        return false;
    }
    pid_t pid = 0;
    if (::posix_spawn(&pid, path.c_str(), actions.Get(), nullptr, argv.data(), environ) != 0) {
        return false;
    }
    if (childPid != nullptr) {
        *childPid = static_cast<int>(pid);
    }
    return true;
}

std::vector<std::wstring> GetOwnArguments() {
    std::vector<std::wstring> args;
    const int fd = ::open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return args;
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    // Arguments are separated and ended by zero bytes.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        args.push_back(FromSystemBytes(std::string_view(text).substr(start, end - start)));
        start = end + 1;
    }
    return args;
}

}  // namespace kestrel::platform
