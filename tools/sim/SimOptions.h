#pragma once
// The simulator's command line.

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct AccountSetup {
    std::string user;
    std::string password;
    double balance = 10000;
};

struct SimOptions {
    std::uint16_t port = 0;
    std::uint64_t seed = 1;
    double tickRate = 5;        // quote messages a second
    double noticeSeconds = 10;  // between text notices; 0 for none
    std::string frameLog;
    std::string certFile;
    std::string keyFile;
    std::string portFile;  // the chosen port is written here, for scripts
    std::string pinFile;   // the certificate's public-key pin is written here, for scripts
    std::vector<AccountSetup> accounts;
    bool quiet = false;
    std::string replayFile;   // serve this capture instead of the simulated market
    bool replayFast = false;  // ... all at once instead of with its captured timing
};

// The built-in accounts, used when no --account is given.
std::vector<AccountSetup> DefaultAccounts();

// Fills options from argv. On a bad argument returns false with a message; on --help returns
// false with the usage text and sets helpAsked.
bool ParseSimOptions(int argc, const char* const argv[], SimOptions& options, std::string& message,
                     bool& helpAsked);

std::string SimUsage();

}  // namespace sim
