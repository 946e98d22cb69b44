#pragma once
// Checks of the connection options made before connecting, so that a mistake is named at once
// instead of surfacing as the library's error 5 or 7. Each returns an empty string when the
// value is usable, else the sentence to show. Stateless; any thread.

#include <string>

namespace term {

// A dotted IPv4 address: the library looks no name up and speaks no IPv6.
std::string HostProblem(const std::string& host);
// Comma-separated SHA-256 pins: 64 hex digits (or byte pairs joined by colons) or 44 characters
// of base64, each with an optional "sha256//".
std::string PinProblem(const std::string& pins);
// A regular, readable file holding at least one PEM certificate.
std::string CaFileProblem(const std::string& path);

}  // namespace term
