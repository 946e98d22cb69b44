#include "ServerOptionChecks.h"

#include <filesystem>
#include <fstream>
#include <string_view>

#include "vocabulary/HexDigit.h"

namespace term {

namespace {

constexpr std::string_view kPinPrefix = "sha256//";
constexpr size_t kDigestBytes = 32;
constexpr size_t kBase64Length = 44;

bool IsHexPin(std::string_view text) {
    const bool colons = text.size() == kDigestBytes * 3 - 1;
    if (!colons && text.size() != kDigestBytes * 2) {
        return false;
    }
    const size_t stride = colons ? 3 : 2;
    for (size_t i = 0; i < kDigestBytes; ++i) {
        const size_t at = i * stride;
        if ((colons && i > 0 && text[at - 1] != ':') || HexDigit(text[at]) < 0 ||
            HexDigit(text[at + 1]) < 0) {
            return false;
        }
    }
    return true;
}

bool IsBase64Pin(std::string_view text) {
    if (text.size() != kBase64Length || text.back() != '=') {
        return false;
    }
    constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    return text.substr(0, kBase64Length - 1).find_first_not_of(kDigits) == std::string_view::npos;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsIPv4Part(std::string_view part) {
    if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != part.npos) {
        return false;
    }
    return std::stoi(std::string(part)) <= 255;
}

}  // namespace

std::string HostProblem(const std::string& host) {
    std::string_view rest = host;
    for (int part = 0; part < 4; ++part) {
        const size_t dot = part < 3 ? rest.find('.') : rest.size();
        if (dot == std::string_view::npos || !IsIPv4Part(rest.substr(0, dot))) {
            return "--host takes a dotted IPv4 address such as 127.0.0.1, not '" + host +
                   "': no name is looked up and IPv6 is not spoken";
        }
        rest.remove_prefix(part < 3 ? dot + 1 : dot);
    }
    return {};
}

std::string PinProblem(const std::string& pins) {
    std::string_view rest = pins;
    while (true) {
        const size_t comma = rest.find(',');
        std::string_view pin = Trimmed(rest.substr(0, comma));
        if (pin.substr(0, kPinPrefix.size()) == kPinPrefix) {
            pin.remove_prefix(kPinPrefix.size());
        }
        if (!IsHexPin(pin) && !IsBase64Pin(pin)) {
            return "--pin: '" + std::string(Trimmed(rest.substr(0, comma))) +
                   "' is no SHA-256 pin (64 hex digits, or 44 characters of base64)";
        }
        if (comma == std::string_view::npos) {
            return {};
        }
        rest.remove_prefix(comma + 1);
    }
}

std::string CaFileProblem(const std::string& path) {
    std::error_code error;
    // Checked first: opening a FIFO or a device to read it could wait for ever.
    if (!std::filesystem::is_regular_file(path, error)) {
        return "--ca-file: " + path + " is no regular file";
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return "--ca-file: " + path + " cannot be read";
    }
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("-----BEGIN CERTIFICATE-----", 0) == 0) {
            return {};
        }
    }
    return "--ca-file: " + path + " holds no PEM certificate (-----BEGIN CERTIFICATE-----)";
}

}  // namespace term
