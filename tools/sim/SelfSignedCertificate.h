#pragma once
// The simulator's TLS identity: a certificate and key read from PEM files, or a fresh
// self-signed pair made in memory at start (clients of the trading protocol do not verify
// the server, so nothing needs to be trusted).

#include <openssl/ssl.h>

#include <string>

namespace sim {

// Installs a certificate and key into the context. Empty file names make a new self-signed
// pair. Returns false with a message on failure.
bool InstallCertificate(SSL_CTX* context, const std::string& certFile, const std::string& keyFile,
                        std::string& error);

}  // namespace sim
