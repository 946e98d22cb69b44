#include "platform/ModuleLoader.h"

#include <dlfcn.h>

#include <cstdlib>

namespace ModuleLoader {

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

std::vector<CModulePair> KnownTlsPairs() {
    // Each pair only works with its own partner.
    return {
        {"libssl.so.3", "libcrypto.so.3"},
        {"libssl.so.1.1", "libcrypto.so.1.1"},
        {"libssl.so", "libcrypto.so"},
    };
}

std::string EnvironmentText(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read-only use
    return value == nullptr ? std::string() : std::string(value);
}

EEnvironment ReadEnvironment(const char* name, std::string& value) {
    value = EnvironmentText(name);
    return value.empty() ? EEnvironment::Unset : EEnvironment::Set;
}

}  // namespace ModuleLoader
