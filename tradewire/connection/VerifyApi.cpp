#include "connection/VerifyApi.h"

#include <openssl/evp.h>

#include "connection/SymbolLookup.h"

bool CVerifyApi::Resolve(ModuleLoader::Handle ssl, ModuleLoader::Handle crypto) {
    // Every lookup runs, so a partial table is never left from an earlier module.
    bool all = TakeSymbol(m_loadVerifyLocations, ssl, "SSL_CTX_load_verify_locations");
    all = TakeSymbol(m_contextSetVerify, ssl, "SSL_CTX_set_verify") && all;
    all = TakeSymbol(m_getParam, ssl, "SSL_get0_param") && all;
    all = TakeSymbol(m_verifyResult, ssl, "SSL_get_verify_result") && all;
    all = TakeSymbol(m_ctrl, ssl, "SSL_ctrl") && all;
    all = TakeSymbol(m_peerCertificate, ssl, "SSL_get1_peer_certificate",
                     "SSL_get_peer_certificate") &&
          all;
    all = TakeSymbol(m_setFlags, crypto, "X509_VERIFY_PARAM_set_flags") && all;
    all = TakeSymbol(m_setHost, crypto, "X509_VERIFY_PARAM_set1_host") && all;
    all = TakeSymbol(m_setHostFlags, crypto, "X509_VERIFY_PARAM_set_hostflags") && all;
    all = TakeSymbol(m_setIp, crypto, "X509_VERIFY_PARAM_set1_ip") && all;
    all = TakeSymbol(m_certificateFree, crypto, "X509_free") && all;
    all = TakeSymbol(m_publicKey, crypto, "X509_get_pubkey") && all;
    all = TakeSymbol(m_keyFree, crypto, "EVP_PKEY_free") && all;
    all = TakeSymbol(m_encodePublicKey, crypto, "i2d_PUBKEY") && all;
    all = TakeSymbol(m_digest, crypto, "EVP_Digest") && all;
    all = TakeSymbol(m_sha256, crypto, "EVP_sha256") && all;
    return all;
}

long CVerifyApi::SetServerName(SSL* ssl, const char* name) const {
    // What SSL_set_tlsext_host_name expands to; the library copies the name.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): the call only reads the name
    return m_ctrl(ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                  const_cast<char*>(name));
}

bool CVerifyApi::Sha256(const unsigned char* data, size_t size, unsigned char* digest) const {
    unsigned int length = 0;
    return m_digest(data, size, digest, &length, m_sha256(), nullptr) == 1 && length == 32;
}
