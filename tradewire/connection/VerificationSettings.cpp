#include "connection/VerificationSettings.h"

#include <cstddef>
#include <string_view>

#include "platform/ModuleLoader.h"
#include "vocabulary/HexDigit.h"

namespace {

constexpr std::string_view kPinPrefix = "sha256//";
constexpr size_t kHexLength = 64;
// 32 bytes as colon-separated byte pairs: "AB:CD:...".
constexpr size_t kColonHexLength = 95;
constexpr size_t kBase64Length = 44;
constexpr size_t kLongestDnsName = 253;
constexpr size_t kLongestLabel = 63;

// A character's place in the base64 alphabet, or -1.
int Base64Value(char c) {
    constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const size_t at = kDigits.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// 64 hex digits, or 32 byte pairs joined by single colons; nothing else.
bool ParseHex(std::string_view text, CPinDigest& digest) {
    const bool colons = text.size() == kColonHexLength;
    if (!colons && text.size() != kHexLength) {
        return false;
    }
    const size_t stride = colons ? 3 : 2;
    for (size_t i = 0; i < digest.size(); ++i) {
        const size_t at = i * stride;
        if (colons && i > 0 && text[at - 1] != ':') {
            return false;
        }
        const int high = HexDigit(text[at]);
        const int low = HexDigit(text[at + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        digest[i] = static_cast<unsigned char>((high << 4) | low);
    }
    return true;
}

// Standard base64 of exactly 32 bytes: 43 digits and one '='. The unused low bits of the last
// digit must be zero, so each digest has one spelling.
bool ParseBase64(std::string_view text, CPinDigest& digest) {
    if (text.size() != kBase64Length || text.back() != '=') {
        return false;
    }
    unsigned bits = 0;
    int bitCount = 0;
    size_t out = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const int value = Base64Value(text[i]);
        if (value < 0) {
            return false;
        }
        bits = (bits << 6) | static_cast<unsigned>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            digest[out++] = static_cast<unsigned char>((bits >> bitCount) & 0xFFu);
        }
    }
    return out == digest.size() && (bits & ((1u << bitCount) - 1u)) == 0;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool ParsePin(std::string_view text, CPinDigest& digest) {
    text = Trimmed(text);
    if (text.substr(0, kPinPrefix.size()) == kPinPrefix) {
        text.remove_prefix(kPinPrefix.size());
    }
    return ParseHex(text, digest) || ParseBase64(text, digest);
}

bool IsLabelCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsAllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Unset and empty read alike; unreadable is an error, never "not asked".
bool ReadVariable(const char* name, std::string& value) {
    return ModuleLoader::ReadEnvironment(name, value) != ModuleLoader::EEnvironment::Unreadable;
}

}  // namespace

bool CVerificationSettings::ReadEnvironment() {
    std::string caFile;
    std::string serverName;
    std::string pins;
    if (!ReadVariable("TRADEWIRE_CA_FILE", caFile) ||
        !ReadVariable("TRADEWIRE_SERVER_NAME", serverName) ||
        !ReadVariable("TRADEWIRE_PIN_SHA256", pins)) {
        return false;
    }
    return Read(caFile, serverName, pins);
}

bool CVerificationSettings::Read(const std::string& caFile, const std::string& serverName,
                                 const std::string& pins) {
    m_caFile = caFile;
    m_serverName = serverName;
    m_pins.clear();
    if (!serverName.empty() && !IsDnsName(serverName)) {
        return false;
    }
    // "trading.example." names the same host, but the certificate says "trading.example".
    if (!m_serverName.empty() && m_serverName.back() == '.') {
        m_serverName.pop_back();
    }
    return pins.empty() || ParsePins(pins, m_pins);
}

bool CVerificationSettings::ParsePins(const std::string& text, std::vector<CPinDigest>& pins) {
    pins.clear();
    std::string_view rest(text);
    for (;;) {
        const size_t comma = rest.find(',');
        CPinDigest digest{};
        if (!ParsePin(rest.substr(0, comma), digest)) {
            return false;
        }
        pins.push_back(digest);
        if (comma == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(comma + 1);
    }
}

bool CVerificationSettings::IsDnsName(const std::string& name) {
    std::string_view rest(name);
    if (!rest.empty() && rest.back() == '.') {
        rest.remove_suffix(1);
    }
    if (rest.empty() || rest.size() > kLongestDnsName) {
        return false;
    }
    for (;;) {
        const size_t dot = rest.find('.');
        const std::string_view label = rest.substr(0, dot);
        if (label.empty() || label.size() > kLongestLabel || label.front() == '-' ||
            label.back() == '-') {
            return false;
        }
        for (char c : label) {
            if (!IsLabelCharacter(c)) {
                return false;
            }
        }
        if (dot == std::string_view::npos) {
            // No top-level domain is all digits: such a name is an address in any spelling the
            // system's parsers take ("127.0.0.1", "2130706433").
            return !IsAllDigits(label);
        }
        rest.remove_prefix(dot + 1);
    }
}
