#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "common/base/WriteAll.h"
#include "platform/PathEncoding.h"

namespace kestrel::platform {
namespace {

class CFileDescriptor {
  public:
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() { Close(); }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    bool Close() {
        if (m_fd < 0) {
            return true;
        }
        const bool ok = ::close(m_fd) == 0;
        m_fd = -1;
        return ok;
    }

  private:
    int m_fd;
};

bool CopyContents(int from, int to) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!WriteAll(to, buffer, static_cast<size_t>(got))) {
            return false;
        }
    }
}

// Opens the file itself, never what a link names, for changing its mode. O_NONBLOCK keeps a
// FIFO from blocking the open.
int OpenNoFollow(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool ChangeMode(const std::wstring& path, mode_t add, mode_t remove) {
    const CFileDescriptor file(OpenNoFollow(ToSystemPath(path)));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0) {
        return false;
    }
    const mode_t mode = ((info.st_mode & 07777) | add) & ~remove;
    return ::fchmod(file.Get(), mode) == 0;
}

// The bits the copy gives the target: a file it replaces keeps its own, a new one takes the
// source's. What sits at the target's name is looked at, not what a link there names.
mode_t ModeForTarget(const std::string& target, mode_t sourceMode) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & 07777;
    }
    return sourceMode & 07777;
}

// "." and ".." of the part that does not exist yet, taken as text over a resolved prefix.
void AppendLexically(std::string& resolved, const std::string& component) {
    if (component == ".") {
        return;
    }
    if (component == "..") {
        const size_t slash = resolved.rfind('/');
        resolved.erase(slash == 0 ? 1 : slash);
        return;
    }
    if (resolved.back() != '/') {
        resolved += '/';
    }
    resolved += component;
}

std::string RealName(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return std::string();
    }
    std::string name(real);
    std::free(real);
    return name;
}

}  // namespace

const wchar_t kCopySuffix[] = L".kestrel-copy";

bool ResolveRealName(const std::wstring& path, std::wstring& resolved) {
    std::string full = ToSystemPath(path);
    if (full.empty()) {
        return false;
    }
    if (full.front() != '/') {
        full = ToSystemPath(GetCurrentFolder()) + "/" + full;
    }
    const std::vector<std::string> components = SplitSystemPath(full);
    // The longest prefix that exists, as the kernel walks it (links followed on the way).
    std::string prefix = "/";
    size_t existing = 0;
    for (; existing < components.size(); ++existing) {
        const std::string longer =
            prefix + (prefix.back() == '/' ? "" : "/") + components[existing];
        struct stat info {};
        if (::lstat(longer.c_str(), &info) != 0) {
            if (errno != ENOENT && errno != ENOTDIR) {
                return false;  // a loop, a name too long, a folder that may not be looked in
            }
            break;
        }
        prefix = longer;
    }
    std::string real = RealName(prefix);
    if (real.empty() || real.find('\\') != std::string::npos) {
        return false;  // a dangling link, or a name Kestrel would cut at the backslash
    }
    for (size_t i = existing; i < components.size(); ++i) {
        AppendLexically(real, components[i]);
    }
    resolved = FromSystemBytes(real);
    return true;
}

bool IsInsideFolder(const std::wstring& folder, const std::wstring& path) {
    std::string outer = ToSystemPath(folder);
    const std::string inner = ToSystemPath(path);
    while (outer.size() > 1 && outer.back() == '/') {
        outer.pop_back();
    }
    if (outer.empty() || inner.compare(0, outer.size(), outer) != 0) {
        return false;
    }
    return inner.size() == outer.size() || outer == "/" || inner[outer.size()] == '/';
}

bool IsSameFile(const std::wstring& first, const std::wstring& second) {
    struct stat one {};
    struct stat two {};
    if (::stat(ToSystemPath(first).c_str(), &one) != 0 ||
        ::stat(ToSystemPath(second).c_str(), &two) != 0) {
        return false;
    }
    return one.st_dev == two.st_dev && one.st_ino == two.st_ino;
}

PathKind GetPathKind(const std::wstring& path) {
    struct stat info {};
    if (::stat(ToSystemPath(path).c_str(), &info) != 0) {
        return PathKind::Missing;
    }
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

bool PathExists(const std::wstring& path) {
    return ::access(ToSystemPath(path).c_str(), F_OK) == 0;
}

bool MakeFolder(const std::wstring& path) {
    return ::mkdir(ToSystemPath(path).c_str(), 0777) == 0;
}

bool RemoveFile(const std::wstring& path) {
    return ::unlink(ToSystemPath(path).c_str()) == 0;
}

bool MakeWritable(const std::wstring& path) {
    return ChangeMode(path, S_IWUSR, 0);
}

bool MakeReadOnly(const std::wstring& path) {
    return ChangeMode(path, 0, S_IWUSR | S_IWGRP | S_IWOTH);
}

bool CopyFileReplacing(const std::wstring& source, const std::wstring& target) {
    const std::string from = ToSystemPath(source);
    const std::string to = ToSystemPath(target);
    CFileDescriptor input(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!input.IsOpen()) {
        return false;
    }
    struct stat info {};
    if (::fstat(input.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    // A target path that names a folder ("dir/") has no file name to replace.
    if (to.empty() || to.back() == '/') {
        return false;
    }
    const mode_t mode = ModeForTarget(to, info.st_mode);
    // A fixed name, so that a run killed half-way leaves nothing the next run would not clear.
    const std::string temporary = to + ToSystemBytes(kCopySuffix);
    ::unlink(temporary.c_str());
    CFileDescriptor output(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!output.IsOpen()) {
        return false;
    }
    // The new file must be whole on disk before it takes the target's name.
    const bool written = CopyContents(input.Get(), output.Get()) &&
                         ::fchmod(output.Get(), mode) == 0 && ::fsync(output.Get()) == 0;
    const bool closed = output.Close();
    if (!written || !closed || ::rename(temporary.c_str(), to.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::FILE* OpenForReading(const std::wstring& path) {
    std::FILE* file = std::fopen(ToSystemPath(path).c_str(), "rbe");
    if (file == nullptr) {
        return nullptr;
    }
    // A folder opens here as if it were a file, yet reads nothing and reports the largest
    // offset as its size; a caller sizing a buffer by it would ask for 8 EiB. Windows refuses to
    // open a folder this way, so refuse it here too.
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

std::wstring GetCurrentFolder() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof(buffer)) == nullptr) {
        return std::wstring();
    }
    return FromSystemBytes(buffer);
}

bool SetCurrentFolder(const std::wstring& path) {
    return ::chdir(ToSystemPath(path).c_str()) == 0;
}

std::wstring GetExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer));
    if (length <= 0 || static_cast<size_t>(length) >= sizeof(buffer)) {
        return std::wstring();
    }
    return FromSystemBytes(std::string_view(buffer, static_cast<size_t>(length)));
}

bool ReadFolder(const std::wstring& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    const std::string folder = ToSystemPath(path);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the stream is this call's own
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        FolderEntry item{FromSystemBytes(entry->d_name), entry->d_type == DT_DIR,
                         entry->d_type == DT_LNK};
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            const std::string full =
                folder + (folder.empty() || folder.back() == '/' ? "" : "/") + entry->d_name;
            struct stat info {};
            item.isLink = ::lstat(full.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
            item.isFolder = ::stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back(std::move(item));
    }
    ::closedir(dir);
    return true;
}

}  // namespace kestrel::platform
