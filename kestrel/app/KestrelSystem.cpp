#include "app/KestrelSystem.h"

#include "core/CommandLine.h"
#include "core/CoverFileList.h"
#include "core/FileOps.h"
#include "core/LaunchProgram.h"
#include "core/PathText.h"
#include "core/ProcessModules.h"
#include "core/ProgramLocation.h"

using namespace kestrel::core;

namespace kestrel::app {

bool CKestrelSystem::SetCurrentDirToProgramFolder() {
    return ::SetCurrentDirToProgramFolder();
}

std::wstring CKestrelSystem::GetProgramPath() {
    return ::GetProgramPath();
}

std::wstring CKestrelSystem::GetProgramFolder() {
    std::wstring folder = ::GetProgramFolder();
    ::AppendPathSeparator(folder);
    return folder;
}

std::wstring CKestrelSystem::GetCommandLine() {
    return ::GetProcessCommandLine();
}

int CKestrelSystem::CountProcessesWithModule(const std::wstring& path, int stopAfter) {
    // The wait asks every 10 ms; checking the last holder first spares a scan of every
    // process each time.
    return ::CountProcessesWithModule(path, stopAfter, m_holders[path]);
}

bool CKestrelSystem::ApplyCoverFileList(const std::wstring& listPath, IMessageBox& owner) {
    return ::ApplyCoverFileList(listPath, owner);
}

bool CKestrelSystem::DeleteFileForced(const std::wstring& path) {
    return ::DeleteFileForced(path);
}

bool CKestrelSystem::LaunchProgram(const std::wstring& application, const std::wstring& tail) {
    return ::LaunchProgram(application, tail);
}

}  // namespace kestrel::app
