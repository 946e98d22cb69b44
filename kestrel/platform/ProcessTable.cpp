#include "platform/ProcessTable.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "platform/PathEncoding.h"

namespace kestrel::platform {
namespace {

constexpr std::string_view kDeletedSuffix = " (deleted)";

std::string_view WithoutDeletedSuffix(std::string_view path) {
    if (path.size() > kDeletedSuffix.size() && path.ends_with(kDeletedSuffix)) {
        path.remove_suffix(kDeletedSuffix.size());
    }
    return path;
}

bool ReadWholeProcFile(const std::string& path, std::string& contents) {
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char buffer[16 * 1024];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        contents.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return ok;
}

// A maps line reads "address perms offset dev inode   path"; the path is everything after the
// fifth field and may hold spaces. Lines without a file ([heap], anonymous memory) give "".
std::string_view PathOfMapsLine(std::string_view line) {
    size_t pos = 0;
    for (int field = 0; field < 5; ++field) {
        pos = line.find_first_not_of(' ', pos);
        if (pos == std::string_view::npos) {
            return {};
        }
        pos = line.find(' ', pos);
        if (pos == std::string_view::npos) {
            return {};
        }
    }
    pos = line.find_first_not_of(' ', pos);
    if (pos == std::string_view::npos || line[pos] != '/') {
        return {};
    }
    return WithoutDeletedSuffix(line.substr(pos));
}

void AddDistinct(std::vector<std::string_view>& seen, std::string_view path) {
    // Mappings of one file come in a row, so the last one seen is the likely duplicate.
    if (!seen.empty() && seen.back() == path) {
        return;
    }
    if (std::find(seen.begin(), seen.end(), path) == seen.end()) {
        seen.push_back(path);
    }
}

}  // namespace

bool ListProcessIds(std::vector<int>& pids) {
    pids.clear();
    DIR* dir = ::opendir("/proc");
    if (dir == nullptr) {
        return false;
    }
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the stream is this call's own
    while (const dirent* entry = ::readdir(dir)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && pid > 0 && pid <= INT_MAX) {
            pids.push_back(static_cast<int>(pid));
        }
    }
    ::closedir(dir);
    return true;
}

bool ReadProcessModules(int pid, std::vector<std::wstring>& modules) {
    modules.clear();
    const std::string folder = "/proc/" + std::to_string(pid) + "/";
    std::string maps;
    if (!ReadWholeProcFile(folder + "maps", maps)) {
        return false;
    }
    std::vector<std::string_view> seen;
    char exeBuffer[PATH_MAX];
    const ssize_t exeLength = ::readlink((folder + "exe").c_str(), exeBuffer, sizeof(exeBuffer));
    if (exeLength > 0 && static_cast<size_t>(exeLength) < sizeof(exeBuffer)) {
        seen.push_back(WithoutDeletedSuffix(std::string_view(exeBuffer, exeLength)));
    }
    const std::string_view text(maps);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view path = PathOfMapsLine(text.substr(start, end - start));
        if (!path.empty()) {
            AddDistinct(seen, path);
        }
        start = end + 1;
    }
    modules.reserve(seen.size());
    for (const std::string_view path : seen) {
        modules.push_back(FromSystemBytes(path));
    }
    return true;
}

bool ReadProcessExecutable(int pid, std::wstring& path) {
    path.clear();
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof(buffer));
    if (length <= 0 || static_cast<size_t>(length) >= sizeof(buffer)) {
        return false;
    }
    path = FromSystemBytes(WithoutDeletedSuffix(std::string_view(buffer, length)));
    return true;
}

bool ResolvePath(const std::wstring& path, std::wstring& resolved) {
    char buffer[PATH_MAX];
    if (::realpath(ToSystemPath(path).c_str(), buffer) == nullptr) {
        return false;
    }
    resolved = FromSystemBytes(buffer);
    return true;
}

}  // namespace kestrel::platform
