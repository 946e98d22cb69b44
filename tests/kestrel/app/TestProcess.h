#pragma once
// Child processes and scratch program folders for the end-to-end tests.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/base/NonCopyable.h"

namespace kestrel::test {

// A scratch folder under the system's temporary folder, removed with everything in it.
class CScratchFolder : NonCopyable {
  public:
    CScratchFolder();
    ~CScratchFolder();
    const std::filesystem::path& Path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

struct CChildOptions {
    std::vector<std::string> Arguments;         // after argv[0], which is the program path
    std::map<std::string, std::string> SetEnv;  // added to (or replacing) the test's own
    std::vector<std::string> UnsetEnv;          // removed from it
    std::string StandardInput;                  // the whole input; then end of input
    std::filesystem::path StandardError;        // captured here when given
    std::filesystem::path WorkingFolder = "/";
};

// A started child; killed (SIGKILL) and reaped on destruction unless it was waited for.
class CChildProcess {
  public:
    CChildProcess(const std::filesystem::path& program, const CChildOptions& options);
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool IsRunning();
    // The exit status, or nothing when it is still running after `limit`.
    std::optional<int> WaitExit(std::chrono::milliseconds limit);
    void Terminate();  // SIGTERM and reap

  private:
    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_status = 0;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& content);
// Polls until the file exists; false after `limit`.
bool WaitForFile(const std::filesystem::path& path, std::chrono::milliseconds limit);
// Polls until `text` shows in the file; false after `limit`.
bool WaitForText(const std::filesystem::path& path, const std::string& text,
                 std::chrono::milliseconds limit);
std::vector<std::string> ReadLines(const std::filesystem::path& path);
// Runs a shell command and returns what it wrote to standard output.
std::string RunAndRead(const std::string& command);

}  // namespace kestrel::test
