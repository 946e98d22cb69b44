#include "platform/ModuleLoader.h"

#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

#include "common/text/Utf8.h"

namespace ModuleLoader {

namespace {

using common::text::Utf8ToWide;
using common::text::WideToUtf8;

// Long paths are allowed up to this many characters.
constexpr size_t kLongestPath = 32768;

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// "C:\..." or a UNC or device path "\\...": a name that no search may reinterpret.
bool IsAbsolute(const std::wstring& name) {
    if (name.size() >= 3 && std::iswalpha(name[0]) && name[1] == L':' && IsSeparator(name[2])) {
        return true;
    }
    return name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1]);
}

// The folder of a loaded module (null: the executable), ending in a backslash; "" on failure.
std::wstring FolderOf(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= kLongestPath) {
            return std::wstring();
        }
        path.resize(path.size() * 2);  // cut short: ask again with more room
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// The module this code is part of: Tradewire.dll, or a program built with its layers.
std::wstring LibraryFolder() {
    HMODULE self = nullptr;
    const DWORD flags =
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!::GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&LibraryFolder), &self)) {
        return std::wstring();
    }
    return FolderOf(self);
}

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    return std::wstring(buffer, length) + L"\\";
}

// Where a module named without a path may come from, in order. Never the current folder or
// PATH: anyone who can write there could otherwise place code in the terminal.
std::vector<std::wstring> KnownFolders() {
    std::vector<std::wstring> folders;
    for (const std::wstring& folder : {LibraryFolder(), FolderOf(nullptr), SystemFolder()}) {
        bool known = folder.empty();
        for (const std::wstring& earlier : folders) {
            known = known || ::lstrcmpiW(earlier.c_str(), folder.c_str()) == 0;
        }
        if (!known) {
            folders.push_back(folder);
        }
    }
    return folders;
}

// The modules a module imports come from its own folder or the system folder only. Neither flag
// changes anything for the rest of the process, unlike SetDefaultDllDirectories.
Handle LoadByPath(const std::wstring& path) {
    // No "cannot find the module" box may stop a terminal's thread.
    DWORD previous = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    HMODULE module = ::LoadLibraryExW(
        path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetThreadErrorMode(previous, nullptr);
    return reinterpret_cast<Handle>(module);
}

Handle LoadWide(const std::wstring& name) {
    if (name.empty()) {
        return nullptr;
    }
    if (IsAbsolute(name)) {
        return LoadByPath(name);
    }
    for (const std::wstring& folder : KnownFolders()) {
        if (Handle module = LoadByPath(folder + name)) {
            return module;
        }
    }
    return nullptr;
}

}  // namespace

Handle Load(const char* name) {
    return name == nullptr ? nullptr : LoadWide(Utf8ToWide(name));
}

void* Symbol(Handle module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

void Free(Handle module) {
    if (module != nullptr) {
        ::FreeLibrary(static_cast<HMODULE>(module));
    }
}

std::vector<CModulePair> KnownTlsPairs() {
    // The names terminals have always shipped first, then the 64-bit OpenSSL 3 and 1.1 builds.
    // Each pair only works with its own partner.
    return {
        {"ssleay32.dll", "libeay32.dll"},
        {"libssl-3-x64.dll", "libcrypto-3-x64.dll"},
        {"libssl-1_1-x64.dll", "libcrypto-1_1-x64.dll"},
    };
}

std::string EnvironmentText(const char* name) {
    wchar_t buffer[1024];
    const DWORD length = ::GetEnvironmentVariableW(Utf8ToWide(name).c_str(), buffer, 1024);
    if (length == 0 || length >= 1024) {
        return std::string();
    }
    return WideToUtf8(std::wstring(buffer, length));
}

EEnvironment ReadEnvironment(const char* name, std::string& value) {
    value.clear();
    const std::wstring wideName = Utf8ToWide(name);
    // First the length (terminator included), then the text; a value that changes in between
    // reads as unreadable rather than cut short.
    ::SetLastError(ERROR_SUCCESS);
    const DWORD needed = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0) {
        return ::GetLastError() == ERROR_ENVVAR_NOT_FOUND || ::GetLastError() == ERROR_SUCCESS
                   ? EEnvironment::Unset
                   : EEnvironment::Unreadable;
    }
    std::wstring buffer(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), buffer.data(), needed);
    if (length == 0) {
        return EEnvironment::Unset;
    }
    if (length >= needed) {
        return EEnvironment::Unreadable;
    }
    buffer.resize(length);
    value = WideToUtf8(buffer);
    return value.empty() ? EEnvironment::Unreadable : EEnvironment::Set;
}

}  // namespace ModuleLoader
