#include "platform/ModuleLoader.h"

#include <utility>

namespace ModuleLoader {

bool LoadTlsModules(CModuleHandle& ssl, CModuleHandle& crypto) {
    const std::string sslOverride = EnvironmentText("TRADEWIRE_SSL_MODULE");
    const std::string cryptoOverride = EnvironmentText("TRADEWIRE_CRYPTO_MODULE");
    ssl.Reset();
    crypto.Reset();
    // A set variable pins its module; the other one is still searched in generation order.
    std::vector<CModulePair> pairs;
    for (const CModulePair& known : KnownTlsPairs()) {
        pairs.push_back({sslOverride.empty() ? known.ssl : sslOverride,
                         cryptoOverride.empty() ? known.crypto : cryptoOverride});
    }
    if (!sslOverride.empty() && !cryptoOverride.empty()) {
        pairs.resize(1);
    }
    for (const CModulePair& pair : pairs) {
        // Both loads are attempted before either is checked, as a pair.
        CModuleHandle loadedSsl(Load(pair.ssl.c_str()));
        CModuleHandle loadedCrypto(Load(pair.crypto.c_str()));
        if (loadedSsl.IsValid() && loadedCrypto.IsValid()) {
            ssl = std::move(loadedSsl);
            crypto = std::move(loadedCrypto);
            return true;
        }
    }
    return false;
}

}  // namespace ModuleLoader

void CModuleTraits::Free(Handle module) {
    ModuleLoader::Free(module);
}
