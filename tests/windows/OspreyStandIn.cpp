// Stand-in for Osprey.exe in the Windows end-to-end run of Kestrel, a Win32 program.
//
// With OSPREY_STANDIN_STAY=<stop file> in its environment it writes "<stop file>.ready" and then
// stays alive until the stop file exists (at most two minutes), like an Osprey that is about to
// exit. Without it, it is a restarted Osprey: it writes its working folder, its whole command
// line and then each argument, one per line in UTF-8, to osprey-launch.txt beside its own
// executable, and exits.
#include <windows.h>
// After windows.h (CommandLineToArgvW).
#include <shellapi.h>

#include <string>

#include "common/text/Utf8.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return (length == 0 || length >= 1024) ? std::wstring() : std::wstring(value, length);
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

int Stay(const std::wstring& stopFile) {
    WriteWhole(stopFile + L".ready", std::to_string(::GetCurrentProcessId()) + "\n");
    const ULONGLONG deadline = ::GetTickCount64() + 120000;
    while (!Exists(stopFile) && ::GetTickCount64() < deadline) {
        ::Sleep(10);
    }
    return 0;
}

int Record() {
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self, length);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    wchar_t current[MAX_PATH];
    const DWORD currentLength = ::GetCurrentDirectoryW(MAX_PATH, current);

    std::string record = common::text::WideToUtf8(std::wstring(current, currentLength)) + "\n";
    record += common::text::WideToUtf8(::GetCommandLineW()) + "\n";
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; argv != nullptr && i < count; ++i) {
        record += common::text::WideToUtf8(argv[i]) + "\n";
    }
    ::LocalFree(argv);
    // Appears whole or not at all, so the test never reads half a record.
    const std::wstring temporary = folder + L"osprey-launch.tmp";
    if (!WriteWhole(temporary, record)) {
        return 1;
    }
    return ::MoveFileExW(temporary.c_str(), (folder + L"osprey-launch.txt").c_str(),
                         MOVEFILE_REPLACE_EXISTING) != 0
               ? 0
               : 1;
}

}  // namespace

int main() {
    const std::wstring stopFile = Environment(L"OSPREY_STANDIN_STAY");
    return stopFile.empty() ? Record() : Stay(stopFile);
}
