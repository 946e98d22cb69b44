#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include "platform/PathEncoding.h"

namespace KestrelOs {
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

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

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

// The folder that will hold the target, as a prefix for the temporary file's name.
std::string FolderPrefixOf(const std::string& target) {
    const size_t slash = target.rfind('/');
    return slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
}

bool ChangeMode(const std::wstring& path, mode_t add, mode_t remove) {
    const std::string bytes = ToSystemPath(path);
    struct stat info {};
    if (::stat(bytes.c_str(), &info) != 0) {
        return false;
    }
    const mode_t mode = ((info.st_mode & 07777) | add) & ~remove;
    return ::chmod(bytes.c_str(), mode) == 0;
}

}  // namespace

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
    CFileDescriptor input(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input.IsOpen()) {
        return false;
    }
    struct stat info {};
    if (::fstat(input.Get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    // A target path that names a folder ("dir/") has no file name to replace.
    if (to.empty() || to.back() == '/') {
        return false;
    }
    std::string temporary = FolderPrefixOf(to) + ".kestrel-copy-XXXXXX";
    CFileDescriptor output(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!output.IsOpen()) {
        return false;
    }
    // The new file must be whole on disk before it takes the target's name.
    const bool written = CopyContents(input.Get(), output.Get()) &&
                         ::fchmod(output.Get(), info.st_mode & 07777) == 0 &&
                         ::fsync(output.Get()) == 0;
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

}  // namespace KestrelOs
