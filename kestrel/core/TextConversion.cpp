#include "core/TextConversion.h"

#include <cstring>

#include "common/text/CodesetConversion.h"
#include "common/text/SystemCodeset.h"

namespace kestrel::core {

bool MultiByteToWideString(unsigned codePage, const char* text, std::wstring& out) {
    out.clear();
    if (text == nullptr) {
        return false;
    }
    const size_t length = std::strlen(text);
    if (length == 0) {
        return true;
    }
    std::string codeset;
    if (codePage == kCodePageAnsi) {
        codeset = common::text::SystemCodeset();
    } else if (codePage == kCodePageUtf8) {
        codeset = "UTF-8";
    } else {
        codeset = "CP" + std::to_string(codePage);
    }
    std::wstring converted;
    if (!common::text::DecodeCodeset(codeset, std::string_view(text, length), converted) ||
        converted.empty()) {
        return false;
    }
    out = std::move(converted);
    return true;
}

}  // namespace kestrel::core
