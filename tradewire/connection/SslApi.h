#pragma once
// The TLS library's entry points, taken by name from modules loaded at run time: the library
// never links against OpenSSL, it only borrows its declarations for the types. Each connection
// object fills its own table from the modules it holds, so a table never outlives or mixes
// modules. Filled once on the constructing thread, then only read.

#include <openssl/crypto.h>
#include <openssl/ssl.h>

#include "platform/ModuleLoader.h"

class CSslApi {
  public:
    // Takes every entry point from the two modules, each under its 1.0 name first and its
    // 1.1+ counterpart second. False when one of them is missing from both generations.
    bool Resolve(ModuleLoader::Handle ssl, ModuleLoader::Handle crypto);
    // The library-wide start-up calls; safe to repeat.
    void StartLibrary() const;

    const SSL_METHOD* ClientMethod() const { return m_clientMethod(); }
    SSL_CTX* ContextNew(const SSL_METHOD* method) const { return m_contextNew(method); }
    void ContextFree(SSL_CTX* context) const { m_contextFree(context); }
    SSL* New(SSL_CTX* context) const { return m_new(context); }
    void Free(SSL* ssl) const { m_free(ssl); }
    int SetFd(SSL* ssl, int fd) const { return m_setFd(ssl, fd); }
    int Connect(SSL* ssl) const { return m_connect(ssl); }
    int Read(SSL* ssl, void* buffer, int size) const { return m_read(ssl, buffer, size); }
    int Write(SSL* ssl, const void* data, int size) const { return m_write(ssl, data, size); }
    int GetError(const SSL* ssl, int result) const { return m_getError(ssl, result); }
    int Pending(const SSL* ssl) const { return m_pending(ssl); }

  private:
    // The 1.0 start-up calls and the 1.0 name of the client method are macros in the 1.1 and
    // 3.x headers, so their types are written out; every other type is the declaration's own.
    using VoidCall = void (*)();
    using IntCall = int (*)();
    using MethodCall = const SSL_METHOD* (*)();

    // Start-up: one of each pair is set.
    IntCall m_libraryInit = nullptr;
    VoidCall m_addAllAlgorithms = nullptr;
    VoidCall m_loadErrorStrings = nullptr;
    decltype(&OPENSSL_init_ssl) m_initSsl = nullptr;
    decltype(&OPENSSL_init_crypto) m_initCrypto = nullptr;

    MethodCall m_clientMethod = nullptr;
    decltype(&SSL_CTX_new) m_contextNew = nullptr;
    decltype(&SSL_CTX_free) m_contextFree = nullptr;
    decltype(&SSL_new) m_new = nullptr;
    decltype(&SSL_free) m_free = nullptr;
    decltype(&SSL_connect) m_connect = nullptr;
    decltype(&SSL_set_fd) m_setFd = nullptr;
    decltype(&SSL_read) m_read = nullptr;
    decltype(&SSL_write) m_write = nullptr;
    decltype(&SSL_get_error) m_getError = nullptr;
    decltype(&SSL_pending) m_pending = nullptr;
};
