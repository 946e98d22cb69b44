#include "common/text/SystemCodeset.h"

#include <windows.h>

namespace common::text {
namespace {

std::string ChooseSystemCodeset() {
    char buffer[128];
    const DWORD length = ::GetEnvironmentVariableA("TRADEWIRE_CODESET", buffer, sizeof(buffer));
    if (length > 0 && length < sizeof(buffer)) {
        return std::string(buffer, length);
    }
    return "CP" + std::to_string(::GetACP());
}

}  // namespace

const std::string& SystemCodeset() {
    static const std::string codeset = ChooseSystemCodeset();
    return codeset;
}

}  // namespace common::text
