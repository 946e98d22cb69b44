#pragma once
// The opt-in checks of the server's identity, as the process environment asks for them:
//  - TRADEWIRE_CA_FILE: PEM file of trusted certificates; the server's chain must end in one of
//    them, and its certificate must name the connected IPv4 address (or the server name below).
//  - TRADEWIRE_SERVER_NAME: DNS name sent as SNI; with a CA file, matched instead of the address.
//    One trailing dot is dropped first; an address (a name whose last label is all digits) is
//    refused, since no certificate could be matched against it as a name.
//  - TRADEWIRE_PIN_SHA256: SHA-256 digests of acceptable server public keys (SubjectPublicKeyInfo),
//    comma-separated, each 64 hex digits (any case, byte pairs optionally colon-separated) or 44
//    characters of base64, optionally prefixed "sha256//".
// An empty variable counts as unset. A value that is set but unusable makes Read fail, so the
// attempt fails instead of connecting with a weaker check than was asked for.
//
// A plain value read afresh by ConnectServer on the caller's thread for every attempt.

#include <array>
#include <string>
#include <vector>

using CPinDigest = std::array<unsigned char, 32>;

class CVerificationSettings {
  public:
    // Reads the three variables. False when one of them is set but unreadable or malformed.
    bool ReadEnvironment();
    // The same from given texts (empty: not set); the environment read's second half.
    bool Read(const std::string& caFile, const std::string& serverName, const std::string& pins);

    // True when any check is asked for: only then are the extra TLS entry points needed.
    bool AnyCheck() const { return !m_caFile.empty() || !m_serverName.empty() || !m_pins.empty(); }
    const std::string& CaFile() const { return m_caFile; }
    const std::string& ServerName() const { return m_serverName; }
    const std::vector<CPinDigest>& Pins() const { return m_pins; }

    // The comma-separated pin list; false (and `pins` unspecified) when any item is malformed
    // or the list is empty.
    static bool ParsePins(const std::string& text, std::vector<CPinDigest>& pins);
    // A DNS name as sent in SNI and matched against the certificate: letters, digits, '-' and
    // '.', labels of 1 to 63 characters, 253 characters at most, one trailing dot allowed, and
    // a last label that is not all digits (127.0.0.1 is an address, not a name).
    static bool IsDnsName(const std::string& name);

  private:
    std::string m_caFile;
    std::string m_serverName;
    std::vector<CPinDigest> m_pins;
};
