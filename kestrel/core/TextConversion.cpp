#include "core/TextConversion.h"

#include <cstring>

#include "platform/Codeset.h"

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
        codeset = KestrelOs::GetSystemCodeset();
    } else if (codePage == kCodePageUtf8) {
        codeset = "UTF-8";
    } else {
        codeset = "CP" + std::to_string(codePage);
    }
    std::wstring converted;
    if (!KestrelOs::DecodeCodeset(codeset, std::string_view(text, length), converted) ||
        converted.empty()) {
        return false;
    }
    out = std::move(converted);
    return true;
}
