#include "TermOptions.h"

#include <cstdlib>
#include <string_view>

namespace term {

std::string TermUsage() {
    return "usage: tradewire-term --port N [options]\n"
           "  --port N           the simulator's port on 127.0.0.1\n"
           "  --user NAME        (default demo)\n"
           "  --password TEXT    (default demo)\n"
           "  --script FILE      run the commands in FILE, then quit\n"
           "  --no-echo          do not show script commands as they run\n"
           "Type help once connected for the commands.\n";
}

bool ParseTermOptions(int argc, const char* const argv[], TermOptions& options,
                      std::string& message, bool& helpAsked) {
    helpAsked = false;
    for (int index = 1; index < argc; ++index) {
        const std::string_view name = argv[index];
        if (name == "--help" || name == "-h") {
            helpAsked = true;
            message = TermUsage();
            return false;
        }
        if (name == "--no-echo") {
            options.echo = false;
            continue;
        }
        if (index + 1 >= argc) {
            message = "missing value after " + std::string(name);
            return false;
        }
        const std::string value = argv[++index];
        if (name == "--port") {
            char* end = nullptr;
            const long port = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || port <= 0 || port > 65535) {
                message = "the port is a number from 1 to 65535, not '" + value + "'";
                return false;
            }
            options.port = static_cast<std::uint16_t>(port);
        } else if (name == "--user") {
            options.user = value;
        } else if (name == "--password") {
            options.password = value;
        } else if (name == "--script") {
            options.script = value;
        } else {
            message = "unknown option " + std::string(name) + "\n" + TermUsage();
            return false;
        }
    }
    if (options.port == 0) {
        message = "--port is required\n" + TermUsage();
        return false;
    }
    if (options.user.empty() || options.password.empty()) {
        message = "the user name and the password must not be empty";
        return false;
    }
    return true;
}

}  // namespace term
