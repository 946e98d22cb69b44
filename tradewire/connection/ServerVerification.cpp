#include "connection/ServerVerification.h"

#include <openssl/x509v3.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/HeldFile.h"

namespace {

constexpr long kVerified = 0;  // X509_V_OK

}  // namespace

CServerVerification::CServerVerification(const CVerifyApi& api,
                                         const CVerificationSettings& settings,
                                         std::uint32_t address)
    : m_api(api), m_settings(settings), m_address(address) {}

bool CServerVerification::PrepareContext(SSL_CTX* context) const {
    if (m_settings.CaFile().empty()) {
        return true;
    }
    // Opened here first, without waiting: a FIFO or a device named as the trust file would
    // hold ConnectServer for ever inside the TLS library's own read.
    CHeldFile trust;
    if (!trust.Open(m_settings.CaFile()) ||
        m_api.LoadTrustFile(context, trust.ReadPath().c_str()) != 1) {
        return false;
    }
    m_api.RequirePeerVerification(context);
    return true;
}

bool CServerVerification::PrepareConnection(SSL* tls) const {
    if (!m_settings.ServerName().empty() &&
        m_api.SetServerName(tls, m_settings.ServerName().c_str()) != 1) {
        return false;
    }
    if (m_settings.CaFile().empty()) {
        return true;
    }
    X509_VERIFY_PARAM* parameters = m_api.Parameters(tls);
    // The trust file lists what is trusted: a chain may end at any certificate in it, not only
    // at a self-signed root.
    if (parameters == nullptr || m_api.SetFlags(parameters, X509_V_FLAG_PARTIAL_CHAIN) != 1) {
        return false;
    }
    if (!m_settings.ServerName().empty()) {
        // The name must be a DNS subject alternative name, matched whole or by a wildcard that
        // is a whole label: never the subject's common name, never "trad*.example".
        m_api.SetHostFlags(
            parameters, X509_CHECK_FLAG_NEVER_CHECK_SUBJECT | X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        return m_api.SetHost(parameters, m_settings.ServerName().c_str()) == 1;
    }
    // The four bytes already parsed for the connect: the user's text is never read again, so
    // no laxer parser can see an address other than the one connected to.
    unsigned char address[4];
    std::memcpy(address, &m_address, sizeof(address));
    return m_api.SetIp(parameters, address, sizeof(address)) == 1;
}

bool CServerVerification::RejectedDuringHandshake(const SSL* tls) const {
    return !m_settings.CaFile().empty() && m_api.VerifyResult(tls) != kVerified;
}

bool CServerVerification::AcceptsPeer(const SSL* tls) const {
    if (!m_settings.CaFile().empty() && m_api.VerifyResult(tls) != kVerified) {
        return false;
    }
    return m_settings.Pins().empty() || MatchesAPin(tls);
}

bool CServerVerification::MatchesAPin(const SSL* tls) const {
    const auto freeCertificate = [this](X509* certificate) { m_api.FreeCertificate(certificate); };
    const std::unique_ptr<X509, decltype(freeCertificate)> certificate(m_api.PeerCertificate(tls),
                                                                       freeCertificate);
    if (certificate == nullptr) {
        return false;
    }
    const auto freeKey = [this](EVP_PKEY* key) { m_api.FreeKey(key); };
    const std::unique_ptr<EVP_PKEY, decltype(freeKey)> key(m_api.PublicKey(certificate.get()),
                                                           freeKey);
    if (key == nullptr) {
        return false;
    }
    const int length = m_api.EncodePublicKey(key.get(), nullptr);
    if (length <= 0) {
        return false;
    }
    std::vector<unsigned char> encoded(static_cast<size_t>(length));
    unsigned char* out = encoded.data();
    if (m_api.EncodePublicKey(key.get(), &out) != length) {
        return false;
    }
    CPinDigest digest{};
    if (!m_api.Sha256(encoded.data(), encoded.size(), digest.data())) {
        return false;
    }
    const std::vector<CPinDigest>& pins = m_settings.Pins();
    return std::find(pins.begin(), pins.end(), digest) != pins.end();
}
