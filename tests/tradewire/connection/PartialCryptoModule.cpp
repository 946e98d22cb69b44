// A stand-in for the crypto module that carries only its start-up call: paired with the real
// TLS module it makes a library that connects without checks but lacks every entry point a
// server check takes from the crypto module.
#include <cstdint>

extern "C" int OPENSSL_init_crypto(std::uint64_t /*options*/, const void* /*settings*/) {
    // The real TLS module starts the real crypto module it imports itself.
    return 1;
}
