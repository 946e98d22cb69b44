#include "TestProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace kestrel::test {

namespace fs = std::filesystem;

CScratchFolder::CScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "kestrel-app-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern;
    }
}

CScratchFolder::~CScratchFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

namespace {

std::vector<std::string> BuildEnvironment(const CChildOptions& options) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const auto equals = text.find('=');
        if (equals != std::string::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    for (const std::string& name : options.UnsetEnv) {
        variables.erase(name);
    }
    for (const auto& [name, value] : options.SetEnv) {
        variables[name] = value;
    }
    std::vector<std::string> result;
    for (const auto& [name, value] : variables) {
        result.push_back(name + "=" + value);
    }
    return result;
}

// Everything the child needs is prepared before fork, so the child only calls async-safe
// functions.
[[noreturn]] void BecomeChild(const std::string& program, std::vector<char*>& argv,
                              std::vector<char*>& envp, int input, int error,
                              const std::string& folder) {
    ::dup2(input, STDIN_FILENO);
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(error >= 0 ? error : devNull, STDERR_FILENO);
    if (::chdir(folder.c_str()) != 0) {
        ::_exit(126);
    }
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
}

}  // namespace

CChildProcess::CChildProcess(const fs::path& program, const CChildOptions& options) {
    std::vector<std::string> arguments{program.string()};
    arguments.insert(arguments.end(), options.Arguments.begin(), options.Arguments.end());
    std::vector<std::string> environment = BuildEnvironment(options);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    // Standard input comes from an unlinked file holding the whole input: no pipe to feed.
    FILE* input = std::tmpfile();
    std::fwrite(options.StandardInput.data(), 1, options.StandardInput.size(), input);
    std::fflush(input);
    std::rewind(input);
    const int error = options.StandardError.empty() ? -1
                                                    : ::open(options.StandardError.c_str(),
                                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string folder = options.WorkingFolder.string();

    m_pid = ::fork();
    if (m_pid == 0) {
        BecomeChild(arguments[0], argv, envp, ::fileno(input), error, folder);
    }
    std::fclose(input);
    if (error >= 0) {
        ::close(error);
    }
}

CChildProcess::~CChildProcess() {
    if (m_pid > 0 && !m_reaped) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &m_status, 0);
    }
}

bool CChildProcess::IsRunning() {
    if (m_pid <= 0 || m_reaped) {
        return false;
    }
    if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
        m_reaped = true;
        return false;
    }
    return true;
}

std::optional<int> CChildProcess::WaitExit(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (IsRunning()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_pid <= 0) {
        return std::nullopt;
    }
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
}

void CChildProcess::Terminate() {
    if (IsRunning()) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, &m_status, 0);
        m_reaped = true;
    }
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

bool WaitForFile(const fs::path& path, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool WaitForText(const fs::path& path, const std::string& text, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (ReadFile(path).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string RunAndRead(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    ::pclose(pipe);
    return output;
}

}  // namespace kestrel::test
