#pragma once
// Applies the checks of one connection attempt (CVerificationSettings) to its TLS objects and
// judges the server they met. With no check asked for, every step does nothing and calls none
// of the extra entry points, so the attempt is exactly an unverified one.
//
// What each setting checks:
//  - a CA file: the chain must verify against its certificates (any of them may be the end of
//    the chain, so a self-signed server certificate may be the whole file), within its validity
//    dates, and the certificate must name the connected IPv4 address as an IP subject
//    alternative name, or the server name when one is set; a failure ends the handshake;
//  - a server name: sent as SNI; matched only together with a CA file;
//  - pins: after the handshake, the SHA-256 of the server's SubjectPublicKeyInfo must equal one
//    of them. A pin alone checks no dates and no names.
//
// Used on the caller's thread within one ConnectServer call; `api` and `settings` must outlive
// it, and `api` must be resolved whenever the settings ask for a check.

#include <cstdint>

#include "connection/VerificationSettings.h"
#include "connection/VerifyApi.h"

class CServerVerification {
  public:
    // `address` is the IPv4 address being connected to, in network order.
    CServerVerification(const CVerifyApi& api, const CVerificationSettings& settings,
                        std::uint32_t address);

    // Before the TCP connect: the trusted certificates and the demand that the chain verify.
    // False when the CA file cannot be read, is no regular file or holds no certificate.
    bool PrepareContext(SSL_CTX* context) const;
    // Before the handshake: SNI and the name or address the certificate must carry.
    bool PrepareConnection(SSL* tls) const;
    // After a failed handshake: whether the failure was the certificate's.
    bool RejectedDuringHandshake(const SSL* tls) const;
    // After a completed handshake: whether the server passed every check.
    bool AcceptsPeer(const SSL* tls) const;

  private:
    bool MatchesAPin(const SSL* tls) const;

    const CVerifyApi& m_api;
    const CVerificationSettings& m_settings;
    std::uint32_t m_address;
};
