#pragma once
// Loading shared modules by name at run time, and the search for the TLS library's pair of
// modules. Handles are opaque; a null handle means "not loaded". Safe from any thread.

namespace ModuleLoader {

using Handle = void*;

Handle Load(const char* name);
// The entry point `name` of a loaded module, or null.
void* Symbol(Handle module, const char* name);
void Free(Handle module);

// Loads the TLS module and its crypto module as a matched pair. TRADEWIRE_SSL_MODULE and
// TRADEWIRE_CRYPTO_MODULE, when set and not empty, each name one module (a name or a path) and
// replace the search for that module; otherwise the pairs of the known OpenSSL generations are
// tried newest first. On failure both handles are null and nothing stays loaded.
bool LoadTlsModules(Handle& ssl, Handle& crypto);

}  // namespace ModuleLoader
