#pragma once
// Certificates for the server-verification tests, made in memory once per process with the
// OpenSSL API, and PEM files of the trust anchors written to a scratch folder that is removed
// when the process ends. Every server certificate is for loopback: its IP subject alternative
// name is 127.0.0.1, or it carries a DNS name (kDnsName, a wildcard) that only a test's server
// name setting refers to.
//
// Made on first use; read-only afterwards, so any thread may use it.

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>

// A certificate with its private key; owned by CTestCertificates.
struct CTestIdentity {
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
};

class CTestCertificates {
  public:
    static constexpr const char* kDnsName = "trading.test";

    static const CTestCertificates& Get();

    CTestIdentity ca;         // a root that signs the next four
    CTestIdentity otherCa;    // a root that signs only `stray`
    CTestIdentity ipServer;   // 127.0.0.1 as IP name, signed by `ca`
    CTestIdentity dnsServer;  // kDnsName as DNS name, signed by `ca`
    CTestIdentity otherIp;  // 127.0.0.2 as IP name (the tests connect to 127.0.0.1), signed by `ca`
    CTestIdentity expired;  // 127.0.0.1, signed by `ca`, validity ended yesterday
    CTestIdentity stray;    // 127.0.0.1, signed by `otherCa`
    CTestIdentity selfSigned;  // 127.0.0.1, its own issuer
    // Names that must not match a server name: kDnsName only as the subject's common name (no
    // alternative name), and a wildcard inside a label, DNS:trad*.example.test. Signed by `ca`.
    CTestIdentity commonNameOnly;
    CTestIdentity partialWildcard;
    static constexpr const char* kPartialWildcardMatch = "trading.example.test";

    // PEM files of `ca`, `otherCa` and `selfSigned`, and a path where no file is.
    std::string caFile;
    std::string otherCaFile;
    std::string selfSignedFile;
    std::string missingFile;

    // The public-key pin of a certificate: SHA-256 of its SubjectPublicKeyInfo, as 64 lower-case
    // hex digits and as base64.
    static std::string PinHex(const CTestIdentity& identity);
    static std::string PinBase64(const CTestIdentity& identity);

  private:
    CTestCertificates();
};
