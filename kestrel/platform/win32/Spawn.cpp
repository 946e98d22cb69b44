#include "platform/Spawn.h"

#include <windows.h>
// After windows.h, whose types it needs (CommandLineToArgvW).
#include <shellapi.h>

namespace kestrel::platform {
namespace {

// The command line as Kestrel spells one: each argument that holds a space (or is empty) in
// double quotes, the others as they are.
std::wstring JoinCommandLine(const std::vector<std::wstring>& args) {
    std::wstring line;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i > 0) {
            line += L' ';
        }
        const std::wstring& arg = args[i];
        if (arg.empty() || arg.find(L' ') != std::wstring::npos) {
            line += L'"' + arg + L'"';
        } else {
            line += arg;
        }
    }
    return line;
}

}  // namespace

bool SpawnProgram(const std::wstring& program, const std::vector<std::wstring>& args,
                  const std::wstring& workingFolder, int* childPid) {
    std::wstring commandLine = JoinCommandLine(args);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    // CreateProcessW may write into the command line, so it gets a private copy. A relative
    // program path is taken against our current folder, before the child's folder applies.
    const BOOL ok = ::CreateProcessW(
        program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started);
    if (!ok) {
        return false;
    }
    if (childPid != nullptr) {
        *childPid = static_cast<int>(started.dwProcessId);
    }
    // The child is not waited for.
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
}

std::vector<std::wstring> GetOwnArguments() {
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (argv == nullptr) {
        return args;
    }
    for (int i = 0; i < count; ++i) {
        args.emplace_back(argv[i]);
    }
    ::LocalFree(argv);
    return args;
}

}  // namespace kestrel::platform
