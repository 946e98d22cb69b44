#include "TestCertificates.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

constexpr long kDay = 24L * 3600L;

EVP_PKEY* NewKey() {
    return EVP_EC_gen("P-256");
}

// `extension` in OpenSSL's configuration syntax, e.g. "IP:127.0.0.1".
void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

// Signed by `issuer`, or by itself when `issuer` is null. `altName` empty: no alternative name.
CTestIdentity Make(const char* commonName, const CTestIdentity* issuer, const char* altName,
                   bool isCa, long notBefore, long notAfter) {
    static long serial = 1;
    CTestIdentity made;
    made.key = NewKey();
    made.certificate = X509_new();
    X509* certificate = made.certificate;
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial++);
    X509_gmtime_adj(X509_getm_notBefore(certificate), notBefore);
    X509_gmtime_adj(X509_getm_notAfter(certificate), notAfter);
    X509_set_pubkey(certificate, made.key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509* signer = issuer == nullptr ? certificate : issuer->certificate;
    X509_set_issuer_name(certificate, X509_get_subject_name(signer));
    AddExtension(certificate, signer, NID_basic_constraints,
                 isCa ? "critical,CA:TRUE" : "CA:FALSE");
    if (isCa) {
        AddExtension(certificate, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    }
    if (altName[0] != '\0') {
        AddExtension(certificate, signer, NID_subject_alt_name, altName);
    }
    X509_sign(certificate, issuer == nullptr ? made.key : issuer->key, EVP_sha256());
    return made;
}

CTestIdentity Server(const char* altName, const CTestIdentity& issuer) {
    return Make("tradewire test server", &issuer, altName, false, -kDay, kDay);
}

std::vector<unsigned char> PublicKeyDigest(const CTestIdentity& identity) {
    unsigned char* encoded = nullptr;
    const int length = i2d_PUBKEY(identity.key, &encoded);
    std::vector<unsigned char> digest(32);
    unsigned int digestLength = 0;
    EVP_Digest(encoded, static_cast<size_t>(length), digest.data(), &digestLength, EVP_sha256(),
               nullptr);
    OPENSSL_free(encoded);
    return digest;
}

// A scratch folder of its own per process: ctest runs the tests of one program side by side.
std::filesystem::path ScratchFolder() {
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("tradewire-certs-" + std::to_string(random()) + "-" + std::to_string(stamp));
    std::filesystem::create_directories(folder);
    return folder;
}

std::string WritePem(const std::filesystem::path& path, X509* certificate) {
    BIO* memory = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(memory, certificate);
    char* data = nullptr;
    const long size = BIO_get_mem_data(memory, &data);
    std::ofstream(path, std::ios::binary).write(data, size);
    BIO_free(memory);
    return path.string();
}

// Removes the scratch folder when the process ends.
struct CScratchRemover {
    std::filesystem::path folder;
    ~CScratchRemover() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

}  // namespace

const CTestCertificates& CTestCertificates::Get() {
    static const CTestCertificates certificates;
    return certificates;
}

CTestCertificates::CTestCertificates() {
    ca = Make("tradewire test CA", nullptr, "", true, -kDay, 30 * kDay);
    otherCa = Make("another test CA", nullptr, "", true, -kDay, 30 * kDay);
    ipServer = Server("IP:127.0.0.1", ca);
    dnsServer = Server("DNS:trading.test", ca);
    otherIp = Server("IP:127.0.0.2", ca);
    expired = Make("tradewire test server", &ca, "IP:127.0.0.1", false, -3 * kDay, -kDay);
    stray = Server("IP:127.0.0.1", otherCa);
    selfSigned = Make("tradewire self-signed", nullptr, "IP:127.0.0.1", false, -kDay, kDay);
    commonNameOnly = Make(kDnsName, &ca, "", false, -kDay, kDay);
    partialWildcard = Server("DNS:trad*.example.test", ca);

    static CScratchRemover remover{ScratchFolder()};
    caFile = WritePem(remover.folder / "ca.pem", ca.certificate);
    otherCaFile = WritePem(remover.folder / "other-ca.pem", otherCa.certificate);
    selfSignedFile = WritePem(remover.folder / "self-signed.pem", selfSigned.certificate);
    missingFile = (remover.folder / "no-such-file.pem").string();
}

std::string CTestCertificates::PinHex(const CTestIdentity& identity) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : PublicKeyDigest(identity)) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::string CTestCertificates::PinBase64(const CTestIdentity& identity) {
    const std::vector<unsigned char> digest = PublicKeyDigest(identity);
    unsigned char text[64] = {};
    const int length = EVP_EncodeBlock(text, digest.data(), static_cast<int>(digest.size()));
    return std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(length));
}
