#pragma once
// Loading shared modules by name at run time, and the search for the TLS library's pair of
// modules. Handles are opaque; a null handle means "not loaded". Safe from any thread.
//
// On Windows a name that is not an absolute path is looked for only in the folder of the module
// holding this code (Tradewire.dll), then the executable's folder, then the system folder, and
// each candidate is loaded by its full path, its own imports resolved from its folder and the
// system folder; never the current folder or PATH. An absolute path is used as given. Elsewhere
// the system's loader searches as usual.

#include <string>
#include <vector>

#include "platform/ModuleHandle.h"

namespace ModuleLoader {

using Handle = CModuleTraits::Handle;

Handle Load(const char* name);
// The entry point `name` of a loaded module, or null.
void* Symbol(Handle module, const char* name);
void Free(Handle module);

// Loads the TLS module and its crypto module as a matched pair. TRADEWIRE_SSL_MODULE and
// TRADEWIRE_CRYPTO_MODULE, when set and not empty, each name one module (a name or a path) and
// replace the search for that module; otherwise the pairs of the known OpenSSL generations are
// tried newest first. On failure both owners are empty and nothing stays loaded.
bool LoadTlsModules(CModuleHandle& ssl, CModuleHandle& crypto);

// The system half of the search.
struct CModulePair {
    std::string ssl;
    std::string crypto;
};
// The pairs of the known OpenSSL generations on this system, newest first, by name (UTF-8).
std::vector<CModulePair> KnownTlsPairs();
// The environment variable `name` as UTF-8; empty when it is unset or cannot be read.
std::string EnvironmentText(const char* name);
// The same, telling an unset (or empty) variable from one that is set but cannot be read
// (not valid text, or too long for the old reader): for settings where reading nothing must
// not pass for "not asked".
enum class EEnvironment { Unset, Set, Unreadable };
EEnvironment ReadEnvironment(const char* name, std::string& value);

}  // namespace ModuleLoader
