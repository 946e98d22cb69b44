#include "platform/ModuleLoader.h"

#include <dlfcn.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace ModuleLoader {

namespace {

struct CModulePair {
    const char* ssl;
    const char* crypto;
};

// Newest generation first: each pair only works with its own partner.
constexpr std::array<CModulePair, 3> kKnownPairs{{
    {"libssl.so.3", "libcrypto.so.3"},
    {"libssl.so.1.1", "libcrypto.so.1.1"},
    {"libssl.so", "libcrypto.so"},
}};

std::string NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read-only use
    return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

Handle Load(const char* name) {
    return ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

void* Symbol(Handle module, const char* name) {
    return module == nullptr ? nullptr : ::dlsym(module, name);
}

void Free(Handle module) {
    if (module != nullptr) {
        ::dlclose(module);
    }
}

bool LoadTlsModules(Handle& ssl, Handle& crypto) {
    const std::string sslOverride = NonEmptyEnv("TRADEWIRE_SSL_MODULE");
    const std::string cryptoOverride = NonEmptyEnv("TRADEWIRE_CRYPTO_MODULE");
    ssl = nullptr;
    crypto = nullptr;
    // A set variable pins its module; the other one is still searched in generation order.
    std::vector<CModulePair> pairs;
    for (const CModulePair& known : kKnownPairs) {
        pairs.push_back({sslOverride.empty() ? known.ssl : sslOverride.c_str(),
                         cryptoOverride.empty() ? known.crypto : cryptoOverride.c_str()});
    }
    if (!sslOverride.empty() && !cryptoOverride.empty()) {
        pairs.resize(1);
    }
    for (const CModulePair& pair : pairs) {
        // Both loads are attempted before either is checked, as a pair.
        Handle loadedSsl = Load(pair.ssl);
        Handle loadedCrypto = Load(pair.crypto);
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
