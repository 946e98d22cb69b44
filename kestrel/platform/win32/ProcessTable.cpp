#include "platform/ProcessTable.h"

#include <windows.h>
// After windows.h, whose types it needs (the Toolhelp calls).
#include <tlhelp32.h>

#include <algorithm>

#include "platform/CaseFold.h"

namespace kestrel::platform {
namespace {

// A Toolhelp snapshot handle, closed when the scope ends.
class CSnapshot {
  public:
    CSnapshot(DWORD flags, DWORD pid) : m_handle(::CreateToolhelp32Snapshot(flags, pid)) {}
    ~CSnapshot() {
        if (IsOpen()) {
            ::CloseHandle(m_handle);
        }
    }
    CSnapshot(const CSnapshot&) = delete;
    CSnapshot& operator=(const CSnapshot&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

  private:
    HANDLE m_handle;
};

bool SamePathNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

// With SYNCHRONIZE the handle is signalled once the process has ended; without it, the exit
// code tells, short of a process that ended with the very value STILL_ACTIVE.
bool HasEnded(HANDLE process, bool canWait) {
    if (canWait) {
        return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    }
    DWORD code = 0;
    return ::GetExitCodeProcess(process, &code) != 0 && code != STILL_ACTIVE;
}

}  // namespace

bool ListProcessIds(std::vector<int>& pids) {
    pids.clear();
    CSnapshot snapshot(TH32CS_SNAPPROCESS, 0);
    if (!snapshot.IsOpen()) {
        return false;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
         more = ::Process32NextW(snapshot.Get(), &entry)) {
        pids.push_back(static_cast<int>(entry.th32ProcessID));
    }
    return true;
}

bool ReadProcessModules(int pid, std::vector<std::wstring>& modules) {
    modules.clear();
    // A snapshot may fail with ERROR_BAD_LENGTH while the process is loading modules; the
    // documented answer is to ask again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        CSnapshot snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, static_cast<DWORD>(pid));
        if (!snapshot.IsOpen()) {
            if (::GetLastError() == ERROR_BAD_LENGTH) {
                continue;
            }
            return false;
        }
        MODULEENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Module32FirstW(snapshot.Get(), &entry); more;
             more = ::Module32NextW(snapshot.Get(), &entry)) {
            const std::wstring path = entry.szExePath;
            const bool seen =
                std::any_of(modules.begin(), modules.end(),
                            [&](const std::wstring& m) { return SamePathNoCase(m, path); });
            if (!seen) {
                modules.push_back(path);
            }
        }
        return !modules.empty();
    }
    return false;
}

bool ReadProcessExecutable(int pid, std::wstring& path) {
    path.clear();
    const DWORD id = static_cast<DWORD>(pid);
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id);
    const bool canWait = process != nullptr;
    if (process == nullptr) {
        process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    }
    if (process == nullptr) {
        return false;
    }
    // A process that has ended lives on as long as somebody holds a handle to it (whoever
    // started Osprey.exe may), and still names its file; it has no executable loaded any more.
    if (HasEnded(process, canWait)) {
        ::CloseHandle(process);
        return false;
    }
    wchar_t buffer[32768];
    DWORD length = 32768;
    const bool ok = ::QueryFullProcessImageNameW(process, 0, buffer, &length) != 0;
    ::CloseHandle(process);
    if (!ok) {
        return false;
    }
    path.assign(buffer, length);
    return true;
}

bool ResolvePath(const std::wstring& path, std::wstring& resolved) {
    if (path.empty() || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        return false;
    }
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) {
        return false;
    }
    full.resize(written);
    // Windows spells folders with '\'; a path written with '/' resolves to the same form.
    std::replace(full.begin(), full.end(), L'/', L'\\');
    resolved = std::move(full);
    return true;
}

}  // namespace kestrel::platform
