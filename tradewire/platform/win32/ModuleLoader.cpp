#include "../ModuleLoader.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace ModuleLoader {

namespace {

struct CModulePair {
    std::wstring ssl;
    std::wstring crypto;
};

// The names terminals have always shipped first, then the 64-bit OpenSSL 3 and 1.1 builds.
// Each pair only works with its own partner.
const std::array<CModulePair, 3> kKnownPairs{{
    {L"ssleay32.dll", L"libeay32.dll"},
    {L"libssl-3-x64.dll", L"libcrypto-3-x64.dll"},
    {L"libssl-1_1-x64.dll", L"libcrypto-1_1-x64.dll"},
}};

std::wstring NonEmptyEnv(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD length = ::GetEnvironmentVariableW(name, buffer, 1024);
    if (length == 0 || length >= 1024) {
        return std::wstring();
    }
    return std::wstring(buffer, length);
}

std::wstring Utf8ToWide(const char* text) {
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

Handle LoadWide(const std::wstring& name) {
    // No "cannot find the module" box may stop a terminal's thread.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = ::LoadLibraryW(name.c_str());
    ::SetErrorMode(previous);
    return reinterpret_cast<Handle>(module);
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

bool LoadTlsModules(Handle& ssl, Handle& crypto) {
    const std::wstring sslOverride = NonEmptyEnv(L"TRADEWIRE_SSL_MODULE");
    const std::wstring cryptoOverride = NonEmptyEnv(L"TRADEWIRE_CRYPTO_MODULE");
    ssl = nullptr;
    crypto = nullptr;
    std::vector<CModulePair> pairs;
    for (const CModulePair& known : kKnownPairs) {
        pairs.push_back({sslOverride.empty() ? known.ssl : sslOverride,
                         cryptoOverride.empty() ? known.crypto : cryptoOverride});
    }
    if (!sslOverride.empty() && !cryptoOverride.empty()) {
        pairs.resize(1);
    }
    for (const CModulePair& pair : pairs) {
        // Both loads are attempted before either is checked, as a pair.
        Handle loadedSsl = LoadWide(pair.ssl);
        Handle loadedCrypto = LoadWide(pair.crypto);
        if (loadedSsl != nullptr && loadedCrypto != nullptr) {
            ssl = loadedSsl;
            crypto = loadedCrypto;
            return true;
        }
        Free(loadedSsl);
        Free(loadedCrypto);
    }
    return false;
}

}  // namespace ModuleLoader
