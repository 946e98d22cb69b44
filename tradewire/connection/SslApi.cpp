#include "connection/SslApi.h"

#include <openssl/crypto.h>

#include "connection/SymbolLookup.h"

bool CSslApi::Resolve(ModuleLoader::Handle ssl, ModuleLoader::Handle crypto) {
    TakeSymbol(m_libraryInit, ssl, "SSL_library_init");
    TakeSymbol(m_addAllAlgorithms, crypto, "OpenSSL_add_all_algorithms",
               "OPENSSL_add_all_algorithms_noconf");
    TakeSymbol(m_loadErrorStrings, ssl, "SSL_load_error_strings");
    TakeSymbol(m_initSsl, ssl, "OPENSSL_init_ssl");
    TakeSymbol(m_initCrypto, crypto, "OPENSSL_init_crypto");
    TakeSymbol(m_clientMethod, ssl, "SSLv23_client_method", "TLS_client_method");
    TakeSymbol(m_contextNew, ssl, "SSL_CTX_new");
    TakeSymbol(m_contextFree, ssl, "SSL_CTX_free");
    TakeSymbol(m_new, ssl, "SSL_new");
    TakeSymbol(m_free, ssl, "SSL_free");
    TakeSymbol(m_connect, ssl, "SSL_connect");
    TakeSymbol(m_setFd, ssl, "SSL_set_fd");
    TakeSymbol(m_read, ssl, "SSL_read");
    TakeSymbol(m_write, ssl, "SSL_write");
    // Needed to share one TLS connection between the reader and the writer (see
    // SocketManager.h); both carry these names in every generation.
    TakeSymbol(m_getError, ssl, "SSL_get_error");
    TakeSymbol(m_pending, ssl, "SSL_pending");

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
