#include "SelfSignedCertificate.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

namespace sim {

namespace {

constexpr long kValiditySeconds = 365L * 24 * 3600;

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
    void operator()(X509* cert) const { X509_free(cert); }
};

bool InstallFromFiles(SSL_CTX* context, const std::string& certFile, const std::string& keyFile,
                      std::string& error) {
    if (SSL_CTX_use_certificate_chain_file(context, certFile.c_str()) != 1) {
        error = "cannot read the certificate " + certFile;
        return false;
    }
    if (SSL_CTX_use_PrivateKey_file(context, keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
        error = "cannot read the key " + keyFile;
        return false;
    }
    if (SSL_CTX_check_private_key(context) != 1) {
        error = "the key does not match the certificate";
        return false;
    }
    return true;
}

bool InstallGenerated(SSL_CTX* context, std::string& error) {
    std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    std::unique_ptr<X509, CertFree> cert(X509_new());
    if (!key || !cert) {
        error = "cannot make a key";
        return false;
    }
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), kValiditySeconds);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("tradewire-sim"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) <= 0) {
        error = "cannot sign the certificate";
        return false;
    }
    if (SSL_CTX_use_certificate(context, cert.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context, key.get()) != 1) {
        error = "cannot install the certificate";
        return false;
    }
    return true;
}

}  // namespace

bool InstallCertificate(SSL_CTX* context, const std::string& certFile, const std::string& keyFile,
                        std::string& error) {
    if (certFile.empty() && keyFile.empty()) {
        return InstallGenerated(context, error);
    }
    if (certFile.empty() || keyFile.empty()) {
        error = "a certificate needs its key, and a key its certificate";
        return false;
    }
    return InstallFromFiles(context, certFile, keyFile, error);
}

std::string PublicKeyPin(SSL_CTX* context) {
    X509* cert = SSL_CTX_get0_certificate(context);
    EVP_PKEY* key = cert == nullptr ? nullptr : X509_get0_pubkey(cert);
    if (key == nullptr) {
        return std::string();
    }
    unsigned char* encoded = nullptr;
    const int length = i2d_PUBKEY(key, &encoded);
    if (length <= 0) {
        return std::string();
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    const int hashed = EVP_Digest(encoded, static_cast<size_t>(length), digest, &digestLength,
                                  EVP_sha256(), nullptr);
    OPENSSL_free(encoded);
    if (hashed != 1) {
        return std::string();
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string pin;
    for (unsigned int i = 0; i < digestLength; ++i) {
        pin += kDigits[digest[i] >> 4];
        pin += kDigits[digest[i] & 0x0F];
    }
    return pin;
}

}  // namespace sim
