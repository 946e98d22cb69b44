#include "core/LaunchProgram.h"

#include "core/CommandLine.h"
#include "core/PathText.h"
#include "platform/FileSystem.h"
#include "platform/Spawn.h"

namespace kestrel::core {

bool LaunchProgram(const std::wstring& application, const std::wstring& tail, int* childPid) {
    const std::wstring commandLine = L"\"" + application + L"\" " + tail;
    // A cut command line would start the program with arguments nobody asked for.
    if (commandLine.size() > kMaxCommandLineChars - 1) {
        return false;
    }
    wchar_t folder[kMaxPathChars] = {};
    // The folder ends where SplitPath ends it: at the last '\', else at the last '/'.
    size_t separator = application.rfind(L'\\');
    if (separator == std::wstring::npos) {
        separator = application.rfind(L'/');
    }
    if (separator != std::wstring::npos && separator > kMaxPathChars - 1) {
        return false;  // the working folder would be cut: refuse rather than start elsewhere
    }
    SplitPath(application.c_str(), folder, kMaxPathChars, nullptr, 0, nullptr, 0);
    std::wstring workingFolder = folder;
    if (separator == 0) {
        workingFolder = application.substr(0, 1);  // a program in the root runs in the root
    }
    if (workingFolder.empty()) {
        workingFolder = kestrel::platform::GetCurrentFolder();
    }
    return kestrel::platform::SpawnProgram(application, SplitCommandLine(commandLine),
                                           workingFolder, childPid);
}

}  // namespace kestrel::core
