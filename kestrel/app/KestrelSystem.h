#pragma once
// What the dialog asks of the machine: its own location and command line, the process table,
// the cover-file list, and starting Osprey.exe. CKestrelSystem is the real machine; tests hand
// the dialog a scripted one. Called on the user-interface thread only.
#include <map>
#include <string>

namespace kestrel::core {
class IMessageBox;
}  // namespace kestrel::core

namespace kestrel::app {

class IKestrelSystem {
  public:
    virtual ~IKestrelSystem() = default;

    virtual bool SetCurrentDirToProgramFolder() = 0;
    virtual std::wstring GetProgramPath() = 0;
    // Ends in a separator (empty when unknown).
    virtual std::wstring GetProgramFolder() = 0;
    // The process's command line as Windows spells it (quoted arguments with spaces).
    virtual std::wstring GetCommandLine() = 0;
    // Counts processes with `path` loaded; stops once the count reaches stopAfter (> 0). Asked
    // again and again for the same path while the dialog waits, so it may remember between
    // calls which process had the path loaded, as long as 0 still means that none has.
    virtual int CountProcessesWithModule(const std::wstring& path, int stopAfter) = 0;
    virtual bool ApplyCoverFileList(const std::wstring& listPath, core::IMessageBox& owner) = 0;
    virtual bool DeleteFileForced(const std::wstring& path) = 0;
    virtual bool LaunchProgram(const std::wstring& application, const std::wstring& tail) = 0;
};

// The running program on this machine.
class CKestrelSystem final : public IKestrelSystem {
  public:
    bool SetCurrentDirToProgramFolder() override;
    std::wstring GetProgramPath() override;
    std::wstring GetProgramFolder() override;
    std::wstring GetCommandLine() override;
    int CountProcessesWithModule(const std::wstring& path, int stopAfter) override;
    bool ApplyCoverFileList(const std::wstring& listPath, core::IMessageBox& owner) override;
    bool DeleteFileForced(const std::wstring& path) override;
    bool LaunchProgram(const std::wstring& application, const std::wstring& tail) override;

  private:
    // Path -> the process that had it loaded at the last count (see CountProcessesWithModule).
    std::map<std::wstring, int> m_holders;
};

}  // namespace kestrel::app
