#include "platform/PathEncoding.h"

#include "common/text/Utf8.h"

namespace kestrel::platform {

std::string ToSystemBytes(std::wstring_view wide) {
    return common::text::EscapedWideToBytes(wide);
}

std::wstring FromSystemBytes(std::string_view bytes) {
    return common::text::BytesToEscapedWide(bytes);
}

std::string ToSystemPath(std::wstring_view path) {
    std::string bytes = ToSystemBytes(path);
    for (char& ch : bytes) {
        if (ch == '\\') {
            ch = '/';
        }
    }
    return bytes;
}

}  // namespace kestrel::platform
