#pragma once
// The simulator's TLS identity: a certificate and key read from PEM files, or a fresh
// self-signed pair made in memory at start. Clients of the trading protocol do not verify the
// server unless asked to; one that is can pin the new pair's key (see PublicKeyPin).

#include <openssl/ssl.h>

#include <string>

namespace sim {

// Installs a certificate and key into the context. Empty file names make a new self-signed
// pair. Returns false with a message on failure.
bool InstallCertificate(SSL_CTX* context, const std::string& certFile, const std::string& keyFile,
                        std::string& error);

// The public-key pin of the context's certificate: SHA-256 of its SubjectPublicKeyInfo as 64
// lower-case hex digits, the form TRADEWIRE_PIN_SHA256 takes. Empty without a certificate.
std::string PublicKeyPin(SSL_CTX* context);

}  // namespace sim
