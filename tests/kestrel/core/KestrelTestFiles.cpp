#include "KestrelTestFiles.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/PathEncoding.h"

extern char** environ;

namespace fs = std::filesystem;

CTempFolder::CTempFolder(const std::string& parent) {
    const fs::path base = parent.empty() ? fs::temp_directory_path() : fs::path(parent);
    std::string pattern = (base / "kestrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = fs::canonical(pattern).string();
}

CTempFolder::~CTempFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::wstring CTempFolder::Folder() const {
    return Wide(m_path + "/");
}

std::string MemoryBackedFolder() {
    std::error_code error;
    return fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
               ? std::string("/dev/shm")
               : fs::temp_directory_path().string();
}

std::wstring Wide(const std::string& utf8) {
    return kestrel::platform::FromSystemBytes(utf8);
}

std::string Narrow(const std::wstring& wide) {
    return kestrel::platform::ToSystemBytes(wide);
}

void WriteTextFile(const std::string& path, const std::string& contents) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool IsWritableByOwner(const std::string& path) {
    return (PermissionBits(path) & S_IWUSR) != 0;
}

void SetReadOnly(const std::string& path) {
    ::chmod(path.c_str(), PermissionBits(path) & ~(S_IWUSR | S_IWGRP | S_IWOTH));
}

unsigned PermissionBits(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

std::map<std::string, std::string> SnapshotTree(const std::string& root) {
    std::map<std::string, std::string> tree;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string path = it->path().string();
        const std::string relative = fs::relative(it->path(), root).string();
        if (it->is_symlink()) {
            tree[relative] = "link -> " + fs::read_symlink(it->path()).string();
        } else if (it->is_directory()) {
            tree[relative] = "folder";
        } else {
            std::ostringstream entry;
            entry << std::oct << PermissionBits(path) << ':' << ReadTextFile(path);
            tree[relative] = entry.str();
        }
    }
    return tree;
}

std::string InstallTestChild(const std::string& target) {
    fs::create_directories(fs::path(target).parent_path());
    fs::copy_file(KESTREL_TEST_CHILD, target, fs::copy_options::overwrite_existing);
    ::chmod(target.c_str(), 0755);
    return target;
}

CSleepingChild::CSleepingChild(const std::string& program, const std::string& mapped) {
    std::string arg0 = program;
    std::string arg1 = mapped.empty() ? "sleep" : "map";
    std::string arg2 = mapped;
    char* argv[] = {arg0.data(), arg1.data(), mapped.empty() ? nullptr : arg2.data(), nullptr};
    pid_t pid = 0;
    // posix_spawn returns once the new program runs, so /proc already shows it.
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0) {
        m_pid = pid;
    }
}

CSleepingChild::~CSleepingChild() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
        if (FileExists(path)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
