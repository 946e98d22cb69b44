#include "platform/StandardError.h"

#include <cstdio>
#include <string>

namespace StandardError {

void WriteLine(std::string_view line) {
    // One write of the whole line, so lines of two threads never interleave.
    std::string whole(line);
    whole += '\n';
    (void)std::fwrite(whole.data(), 1, whole.size(), stderr);
    (void)std::fflush(stderr);
}

}  // namespace StandardError
