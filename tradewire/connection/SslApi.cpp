#include "connection/SslApi.h"

#include <openssl/crypto.h>

namespace {

// Casts a looked-up symbol to the entry point's type; null stays null. `fallback`, when given,
// is the same call's name in builds or generations that lack `name`.
template <class Function>
void Take(Function& target, ModuleLoader::Handle module, const char* name,
          const char* fallback = nullptr) {
    void* symbol = ModuleLoader::Symbol(module, name);
    if (symbol == nullptr && fallback != nullptr) {
        symbol = ModuleLoader::Symbol(module, fallback);
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym yields untyped pointers
    target = reinterpret_cast<Function>(symbol);
}

}  // namespace

bool CSslApi::Resolve(ModuleLoader::Handle ssl, ModuleLoader::Handle crypto) {
    Take(m_libraryInit, ssl, "SSL_library_init");
    Take(m_addAllAlgorithms, crypto, "OpenSSL_add_all_algorithms",
         "OPENSSL_add_all_algorithms_noconf");
    Take(m_loadErrorStrings, ssl, "SSL_load_error_strings");
    Take(m_initSsl, ssl, "OPENSSL_init_ssl");
    Take(m_initCrypto, crypto, "OPENSSL_init_crypto");
    Take(m_clientMethod, ssl, "SSLv23_client_method", "TLS_client_method");
    Take(m_contextNew, ssl, "SSL_CTX_new");
    Take(m_contextFree, ssl, "SSL_CTX_free");
    Take(m_new, ssl, "SSL_new");
    Take(m_free, ssl, "SSL_free");
    Take(m_connect, ssl, "SSL_connect");
    Take(m_setFd, ssl, "SSL_set_fd");
    Take(m_read, ssl, "SSL_read");
    Take(m_write, ssl, "SSL_write");
    // Needed to share one TLS connection between the reader and the writer (see
    // SocketManager.h); both carry these names in every generation.
    Take(m_getError, ssl, "SSL_get_error");
    Take(m_pending, ssl, "SSL_pending");

    // A module that lacks an entry point would otherwise be called through a null pointer.
    const bool startUp = (m_libraryInit != nullptr || m_initSsl != nullptr) &&
                         (m_addAllAlgorithms != nullptr || m_initCrypto != nullptr) &&
                         (m_loadErrorStrings != nullptr || m_initSsl != nullptr);
    return startUp && m_clientMethod != nullptr && m_contextNew != nullptr &&
           m_contextFree != nullptr && m_new != nullptr && m_free != nullptr &&
           m_connect != nullptr && m_setFd != nullptr && m_read != nullptr && m_write != nullptr &&
           m_getError != nullptr && m_pending != nullptr;
}

void CSslApi::StartLibrary() const {
    if (m_libraryInit != nullptr) {
        m_libraryInit();
    } else {
        m_initSsl(0, nullptr);
    }
    if (m_addAllAlgorithms != nullptr) {
        m_addAllAlgorithms();
    } else {
        m_initCrypto(
            OPENSSL_INIT_ADD_ALL_CIPHERS | OPENSSL_INIT_ADD_ALL_DIGESTS | OPENSSL_INIT_LOAD_CONFIG,
            nullptr);
    }
    if (m_loadErrorStrings != nullptr) {
        m_loadErrorStrings();
    } else {
        m_initSsl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr);
    }
}
