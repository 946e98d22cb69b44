#include "platform/Diagnostics.h"

#include <cstdio>

#include "platform/PathEncoding.h"

namespace kestrel::platform {

void WriteDiagnosticLine(const std::wstring& line) {
    const std::string bytes = ToSystemBytes(line) + "\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

}  // namespace kestrel::platform
