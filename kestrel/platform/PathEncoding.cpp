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

std::vector<std::string> SplitSystemPath(const std::string& path) {
    std::vector<std::string> components;
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = path.find('/', begin);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > begin) {
            components.push_back(path.substr(begin, end - begin));
        }
        begin = end + 1;
    }
    return components;
}

}  // namespace kestrel::platform
