#pragma once
// Owned TLS objects, each freed through the function table it was made with. The table (and
// the modules behind it) must outlive every object made through it. An owner is used by one
// thread at a time; a null owner holds nothing and frees nothing.

#include <memory>

#include "connection/SslApi.h"

struct CTlsContextFree {
    const CSslApi* api = nullptr;
    void operator()(SSL_CTX* context) const { api->ContextFree(context); }
};

struct CTlsConnectionFree {
    const CSslApi* api = nullptr;
    void operator()(SSL* ssl) const { api->Free(ssl); }
};

using CTlsContext = std::unique_ptr<SSL_CTX, CTlsContextFree>;
using CTlsConnection = std::unique_ptr<SSL, CTlsConnectionFree>;

// A client context for any protocol version the module offers; null when it could not be made.
inline CTlsContext NewClientContext(const CSslApi& api) {
    return CTlsContext(api.ContextNew(api.ClientMethod()), CTlsContextFree{&api});
}

// A connection under `context`; null when it could not be made.
inline CTlsConnection NewConnection(const CSslApi& api, SSL_CTX* context) {
    return CTlsConnection(api.New(context), CTlsConnectionFree{&api});
}
