#pragma once
// The TLS library's entry points, taken by name from modules loaded at run time: the library
// never links against OpenSSL, it only borrows its declarations for the types. Each connection
// object fills its own table from the modules it holds, so a table never outlives or mixes
// modules. Filled once on the constructing thread, then only read.

#include <openssl/ssl.h>

#include <cstdint>

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
    using VoidCall = void (*)();
    using IntCall = int (*)();
    using InitCall = int (*)(std::uint64_t, const void*);

    // Start-up: one of each pair is set.
    IntCall m_libraryInit = nullptr;
    VoidCall m_addAllAlgorithms = nullptr;
    VoidCall m_loadErrorStrings = nullptr;
    InitCall m_initSsl = nullptr;
    InitCall m_initCrypto = nullptr;

    const SSL_METHOD* (*m_clientMethod)() = nullptr;
    SSL_CTX* (*m_contextNew)(const SSL_METHOD*) = nullptr;
    void (*m_contextFree)(SSL_CTX*) = nullptr;
    SSL* (*m_new)(SSL_CTX*) = nullptr;
    void (*m_free)(SSL*) = nullptr;
    int (*m_connect)(SSL*) = nullptr;
    int (*m_setFd)(SSL*, int) = nullptr;
    int (*m_read)(SSL*, void*, int) = nullptr;
    int (*m_write)(SSL*, const void*, int) = nullptr;
    int (*m_getError)(const SSL*, int) = nullptr;
    int (*m_pending)(const SSL*) = nullptr;
};
