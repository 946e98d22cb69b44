#pragma once
// The TLS library's entry points that checking the server takes, beyond the connection's own
// table (CSslApi). They are looked up only when a connection attempt asks for a check, so a
// module without them still serves unverified connections. Several names that the library's
// headers offer are macros; the table holds what they expand to:
//  - SNI (SSL_set_tlsext_host_name) is SSL_ctrl with SSL_CTRL_SET_TLSEXT_HOSTNAME;
//  - the peer certificate is SSL_get1_peer_certificate (3.x) or SSL_get_peer_certificate
//    (1.1, a macro over the former in 3.x headers); both hand out a reference to free.
// Filled and read on the caller's thread only (ConnectServer); the modules it was filled from
// must stay loaded while it is used.

#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstddef>

#include "platform/ModuleLoader.h"

class CVerifyApi {
  public:
    // Looks every entry point up again; false when one is missing from the modules.
    bool Resolve(ModuleLoader::Handle ssl, ModuleLoader::Handle crypto);

    // Reads a PEM file of trusted certificates into the context's store; 1 on success.
    int LoadTrustFile(SSL_CTX* context, const char* path) const {
        return m_loadVerifyLocations(context, path, nullptr);
    }
    // The handshake fails unless the server's chain verifies.
    void RequirePeerVerification(SSL_CTX* context) const {
        m_contextSetVerify(context, SSL_VERIFY_PEER, nullptr);
    }
    X509_VERIFY_PARAM* Parameters(SSL* ssl) const { return m_getParam(ssl); }
    int SetFlags(X509_VERIFY_PARAM* parameters, unsigned long flags) const {
        return m_setFlags(parameters, flags);
    }
    int SetHost(X509_VERIFY_PARAM* parameters, const char* name) const {
        return m_setHost(parameters, name, 0);
    }
    // How SetHost's name is matched (X509_CHECK_FLAG_*).
    void SetHostFlags(X509_VERIFY_PARAM* parameters, unsigned int flags) const {
        m_setHostFlags(parameters, flags);
    }
    int SetIp(X509_VERIFY_PARAM* parameters, const unsigned char* address, size_t length) const {
        return m_setIp(parameters, address, length);
    }
    long SetServerName(SSL* ssl, const char* name) const;
    long VerifyResult(const SSL* ssl) const { return m_verifyResult(ssl); }

    // The server's certificate and its key, each a reference the caller frees below.
    X509* PeerCertificate(const SSL* ssl) const { return m_peerCertificate(ssl); }
    void FreeCertificate(X509* certificate) const { m_certificateFree(certificate); }
    EVP_PKEY* PublicKey(X509* certificate) const { return m_publicKey(certificate); }
    void FreeKey(EVP_PKEY* key) const { m_keyFree(key); }
    // DER SubjectPublicKeyInfo of `key` written at *out (advanced), or its length when `out` is
    // null; negative on failure.
    int EncodePublicKey(const EVP_PKEY* key, unsigned char** out) const {
        return m_encodePublicKey(key, out);
    }
    // SHA-256 of the bytes into `digest` (32 bytes); false on failure.
    bool Sha256(const unsigned char* data, size_t size, unsigned char* digest) const;

  private:
    // Written out where the 1.1 and 3.x declarations differ in constness or are macros.
    using PeerCertificateCall = X509* (*)(const SSL*);
    using CtrlCall = long (*)(SSL*, int, long, void*);
    using EncodeCall = int (*)(const EVP_PKEY*, unsigned char**);
    using PublicKeyCall = EVP_PKEY* (*)(X509*);

    decltype(&SSL_CTX_load_verify_locations) m_loadVerifyLocations = nullptr;
    decltype(&SSL_CTX_set_verify) m_contextSetVerify = nullptr;
    decltype(&SSL_get0_param) m_getParam = nullptr;
    decltype(&SSL_get_verify_result) m_verifyResult = nullptr;
    CtrlCall m_ctrl = nullptr;
    PeerCertificateCall m_peerCertificate = nullptr;
    decltype(&X509_VERIFY_PARAM_set_flags) m_setFlags = nullptr;
    decltype(&X509_VERIFY_PARAM_set1_host) m_setHost = nullptr;
    decltype(&X509_VERIFY_PARAM_set_hostflags) m_setHostFlags = nullptr;
    decltype(&X509_VERIFY_PARAM_set1_ip) m_setIp = nullptr;
    decltype(&X509_free) m_certificateFree = nullptr;
    PublicKeyCall m_publicKey = nullptr;
    decltype(&EVP_PKEY_free) m_keyFree = nullptr;
    EncodeCall m_encodePublicKey = nullptr;
    decltype(&EVP_Digest) m_digest = nullptr;
    decltype(&EVP_sha256) m_sha256 = nullptr;
};
